#pragma once

#include <string>
#include <string_view>

namespace foundation {

// Name parts of plain paths, without making a URL (cheap enough for every entry of a folder).

// What follows the last "/" (the whole text when there is none).
std::string_view lastPathComponentOf(std::string_view path);
// What follows the last "." of a name; "" when there is none or the dot begins or ends the name
// (".profile" and "name." have no extension).
std::string_view pathExtensionOf(std::string_view name);
// `name` numbered to tell it from a taken one, "stem (n).ext", within the file system's limit of
// NAME_MAX bytes: the stem gives way to the number, cut where no UTF-8 character is split, and the
// extension stays (it says what the file is). Number 0 is the name itself.
std::string numberedName(std::string_view name, int number);

}  // namespace foundation
