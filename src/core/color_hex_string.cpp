#include "core/color_hex_string.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace reelhaven {

namespace {

long component(double value) {
    if (std::isnan(value)) return 0;
    const double clamped = value < 0 ? 0 : (value > 1 ? 1 : value);
    return std::lround(clamped * 255);  // halves away from zero
}

bool isHexDigit(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    return std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
}

// Reads a hex number the way a text scanner does: leading white space skipped, an optional "0x",
// digits up to the first other character; too large a number saturates.
std::uint64_t scanHex(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && isHexDigit(text[i + 2]))
        i += 2;
    std::uint64_t value = 0;
    bool saturated = false;
    for (; i < text.size() && isHexDigit(text[i]); ++i) {
        if (value > (std::numeric_limits<std::uint64_t>::max() >> 4)) saturated = true;
        value = (value << 4) | static_cast<std::uint64_t>(hexValue(text[i]));
    }
    return saturated ? std::numeric_limits<std::uint64_t>::max() : value;
}

}  // namespace

std::string hexString(const gfx::Color& color) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02lX%02lX%02lX%02lX", component(color.alpha), component(color.red),
                  component(color.green), component(color.blue));
    return text;
}

gfx::Color colorFromHexString(std::string_view text) {
    const std::uint64_t value = text.empty() ? 0 : scanHex(text.substr(1));
    auto channel = [value](int shift) { return static_cast<double>((value >> shift) & 0xFF) / 255.0; };
    return gfx::Color{channel(16), channel(8), channel(0), channel(24)};
}

}  // namespace reelhaven
