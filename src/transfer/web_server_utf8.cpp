#include "transfer/web_server_utf8.h"

namespace reelhaven {

std::size_t WebServerUTF8SequenceLength(std::string_view text) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char first = byte(0);
    if (first < 0x80) return 1;
    std::size_t length = first >= 0xC2 && first <= 0xDF   ? 2
                         : first >= 0xE0 && first <= 0xEF ? 3
                         : first >= 0xF0 && first <= 0xF4 ? 4
                                                          : 0;
    if (length == 0 || text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    if (first == 0xE0 && byte(1) < 0xA0) return 0;  // overlong
    if (first == 0xED && byte(1) > 0x9F) return 0;  // surrogate
    if (first == 0xF0 && byte(1) < 0x90) return 0;  // overlong
    if (first == 0xF4 && byte(1) > 0x8F) return 0;  // above U+10FFFF
    return length;
}

bool WebServerIsValidUTF8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = WebServerUTF8SequenceLength(text.substr(i));
        if (length == 0) return false;
        i += length;
    }
    return true;
}

void WebServerAppendUTF8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string WebServerPrintableUTF8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = WebServerUTF8SequenceLength(text.substr(i));
        if (length == 0) {
            WebServerAppendUTF8(out, 0xFFFD);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string_view WebServerUTF8Prefix(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t cut = bytes;
    // Step back over continuation bytes to the start of the sequence that would be cut.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return text.substr(0, cut);
}

}  // namespace reelhaven
