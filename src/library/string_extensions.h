#pragma once

#include <string_view>

namespace reelhaven {

// Whether the whole text is one link: the first link found in it covers every character
// (counted in UTF-16 units). Leading or trailing spaces, or other words, make it false.
bool isValidURL(std::string_view text);

}  // namespace reelhaven
