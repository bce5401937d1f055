#pragma once

#include <string_view>

namespace foundation {

// Name parts of plain paths, without making a URL (cheap enough for every entry of a folder).

// What follows the last "/" (the whole text when there is none).
std::string_view lastPathComponentOf(std::string_view path);
// What follows the last "." of a name; "" when there is none or the dot begins or ends the name
// (".profile" and "name." have no extension).
std::string_view pathExtensionOf(std::string_view name);

}  // namespace foundation
