#include "core/color_hex_string.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>

namespace reelhaven {
namespace {

TEST(ColorHexStringTest, FormatsAlphaFirstInUpperCase) {
    EXPECT_EQ(hexString(gfx::Color::white()), "#FFFFFFFF");
    EXPECT_EQ(hexString(gfx::Color::black()), "#FF000000");
    EXPECT_EQ(hexString(gfx::Color{1, 0, 0, 0.5}), "#80FF0000");  // 127.5 rounds up
    EXPECT_EQ(hexString(gfx::Color{0.1, 0.2, 0.3, 1}), "#FF1A334D");
    EXPECT_EQ(hexString(gfx::Color::clear()), "#00000000");
}

TEST(ColorHexStringTest, ClampsComponentsSoTheFormNeverBreaks) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(hexString(gfx::Color{2, -1, 1.0001, 7}), "#FFFF00FF");
    EXPECT_EQ(hexString(gfx::Color{nan, nan, nan, nan}), "#00000000");
    EXPECT_EQ(hexString(gfx::Color{inf, -inf, 0, 1}), "#FFFF0000");
    const std::regex form("#[0-9A-F]{8}");
    for (double v : {-1e300, -0.5, -0.0, 0.001, 0.998, 1.5, 1e300, nan, inf})
        EXPECT_TRUE(std::regex_match(hexString(gfx::Color{v, v, v, v}), form)) << v;
}

TEST(ColorHexStringTest, ParsesTheLowest32BitsAfterTheFirstCharacter) {
    auto red = colorFromHexString("#80FF0000");
    EXPECT_EQ(red, (gfx::Color{1, 0, 0, 128 / 255.0}));
    // Six digits leave alpha 0: a fully transparent red.
    EXPECT_EQ(colorFromHexString("#FF0000"), (gfx::Color{1, 0, 0, 0}));
    // Without "#" the first digit is lost.
    EXPECT_EQ(colorFromHexString("FF102030"), (gfx::Color{0x10 / 255.0, 0x20 / 255.0, 0x30 / 255.0, 0x0F / 255.0}));
    EXPECT_EQ(colorFromHexString("#zz"), gfx::Color::clear());
    EXPECT_EQ(colorFromHexString(""), gfx::Color::clear());
    EXPECT_EQ(colorFromHexString("#ff00ff00"), (gfx::Color{0, 1, 0, 1}));
    EXPECT_EQ(colorFromHexString("#FF00FF00 trailing"), (gfx::Color{0, 1, 0, 1}));
    EXPECT_EQ(colorFromHexString("#12FF00FF00"), (gfx::Color{0, 1, 0, 1}));  // only 32 bits count
}

TEST(ColorHexStringTest, ParsingAndFormattingRoundTrip) {
    for (const char* text : {"#FFFFFFFF", "#FF000000", "#80FF0000", "#01020304", "#7F7F7F7F", "#00000000"})
        EXPECT_EQ(hexString(colorFromHexString(text)), text);
}

}  // namespace
}  // namespace reelhaven
