#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace reelhaven {

// How the uploader writes the names it finds on disk into its answers, and reads them back.
//
// A listing is JSON, which holds only Unicode text, but a name on disk is any bytes. Each byte
// that is not part of a valid UTF-8 sequence (0x80 to 0xFF) is listed as one character of a
// private-use block (U+F780 plus the byte's low seven bits), so the listed path names the item
// without loss and the routes accept it back. A character of that block that a name really holds
// is listed as its three bytes, each escaped: a listed name thus decodes to exactly one name on
// disk, and a file really named "\uF780clip.mp4" is never taken for the one named "\x80clip.mp4".
namespace WebUploaderNames {

std::string listed(std::string_view name);
// Whether `name` is listed as it is (nearly every name is: valid UTF-8 without the escape block).
bool isListedAsItIs(std::string_view name);
// The name on disk a listed name stands for, when it holds any escaped byte.
std::optional<std::string> unescaped(std::string_view name);

}  // namespace WebUploaderNames

}  // namespace reelhaven
