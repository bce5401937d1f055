#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace reelhaven {

// UTF-8 checks for texts that come from disk or from clients as bytes.

// The length of the valid UTF-8 sequence at the start of `text`; 0 when there is none (no overlong
// forms, surrogates or code points above U+10FFFF).
std::size_t WebServerUTF8SequenceLength(std::string_view text);
bool WebServerIsValidUTF8(std::string_view text);
// `text` with each byte outside a valid sequence replaced by U+FFFD: safe for any page or message.
std::string WebServerPrintableUTF8(std::string_view text);
// The longest start of `text` of at most `bytes` bytes that does not cut a sequence in two.
std::string_view WebServerUTF8Prefix(std::string_view text, std::size_t bytes);
// Appends a code point below U+10000 as UTF-8.
void WebServerAppendUTF8(std::string& out, char32_t code);

}  // namespace reelhaven
