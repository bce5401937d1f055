#pragma once

#include <string>
#include <string_view>

#include "platform/graphics/color.h"

namespace reelhaven {

// The stored form of colours: "#" and eight upper-case hex digits, alpha, red, green, blue, each
// component times 255 rounded half away from zero. Components outside 0...1 are clamped and a
// component that is not a number counts as 0, so the text always has exactly that form.
std::string hexString(const gfx::Color& color);

// Reads a colour string: the first character is skipped whatever it is, then hex digits are read
// up to the first other character (none gives 0); of that number the lowest 32 bits are alpha,
// red, green and blue. Never fails: "#FF0000" is a fully transparent red.
gfx::Color colorFromHexString(std::string_view text);

}  // namespace reelhaven
