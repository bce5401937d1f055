#include "platform/graphics/image.h"

#include <gtest/gtest.h>

#include "platform/base/fatal.h"

namespace gfx {
namespace {

TEST(ImageTest, NewImagesAreTransparentAndFillRounds) {
    Image image(4, 3);
    EXPECT_EQ(image.bytesPerRow(), 16u);
    EXPECT_EQ(image.pixel(3, 2), (Pixel{0, 0, 0, 0}));
    image.fill({1.0, 0.5, 0.0, 1.0});
    EXPECT_EQ(image.pixel(2, 1), (Pixel{255, 128, 0, 255}));
    EXPECT_EQ(Image::toPixel({2.0, -1.0, 0.2, 1.0}), (Pixel{255, 0, 51, 255}));
    EXPECT_EQ(Image::toColor({255, 0, 51, 255}), (Color{1.0, 0.0, 0.2, 1.0}));
}

TEST(ImageTest, EqualityIgnoresRowPadding) {
    std::vector<std::uint8_t> padded(2 * 12, 0xEE);
    Image a(2, 2, 12, padded);
    Image b(2, 2);
    b.fill(Image::toColor({0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(a, b);
    b.setPixel(1, 1, {0, 0, 0, 0});
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(Image(2, 1) == Image(1, 2));
}

TEST(ImageTest, MisuseIsAProgrammingError) {
    base::ScopedFatalThrows throws;
    Image image(2, 2);
    EXPECT_THROW(image.pixel(2, 0), base::FatalError);
    EXPECT_THROW(image.setPixel(0, -1, {}), base::FatalError);
    EXPECT_THROW(Image(-1, 2), base::FatalError);
    EXPECT_THROW(Image(2, 2, 4, std::vector<std::uint8_t>(16)), base::FatalError);
    EXPECT_THROW(Image(2, 2, 8, std::vector<std::uint8_t>(15)), base::FatalError);
}

TEST(ColorTest, ClampsComponents) {
    EXPECT_EQ((Color{1.5, -0.5, 0.25, 2}).clamped(), (Color{1, 0, 0.25, 1}));
    EXPECT_EQ(Color::white().withAlpha(0.5), (Color{1, 1, 1, 0.5}));
}

}  // namespace
}  // namespace gfx
