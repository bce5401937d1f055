#include "platform/graphics/png_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

namespace gfx {
namespace {

// Assembles PNG files by hand (zlib for IDAT and CRCs), so the decoder is checked against bytes
// it did not write itself.
void appendChunk(std::string& png, const char* type, const std::string& data) {
    auto be32 = [&](std::uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>((v >> shift) & 255));
    };
    be32(static_cast<std::uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    png += body;
    be32(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

// `rows` are the raw scanlines without filter bytes; every row gets filter type 0.
std::string makePng(int width, int height, int depth, int colorType, const std::vector<std::string>& rows,
                    const std::vector<std::pair<const char*, std::string>>& extra = {}) {
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    for (int v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) header.push_back(static_cast<char>((v >> shift) & 255));
    }
    header += {static_cast<char>(depth), static_cast<char>(colorType), 0, 0, 0};
    appendChunk(png, "IHDR", header);
    for (const auto& [type, data] : extra) appendChunk(png, type, data);
    std::string raw;
    for (const auto& row : rows) raw += '\0' + row;
    uLongf size = compressBound(raw.size());
    std::string compressed(size, '\0');
    compress(reinterpret_cast<Bytef*>(compressed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
             raw.size());
    compressed.resize(size);
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", "");
    return png;
}

std::string bytes(std::initializer_list<int> values) {
    std::string result;
    for (int v : values) result.push_back(static_cast<char>(v));
    return result;
}

TEST(PngCodecTest, RoundTripsRGBAExactly) {
    Image image(3, 2);
    image.setPixel(0, 0, {255, 0, 0, 255});
    image.setPixel(1, 0, {0, 255, 0, 128});
    image.setPixel(2, 1, {1, 2, 3, 0});
    auto png = PngCodec::encode(image);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->substr(1, 3), "PNG");
    auto decoded = PngCodec::decode(*png);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, image);
    EXPECT_EQ(decoded->pixel(1, 0), (Pixel{0, 255, 0, 128}));
}

TEST(PngCodecTest, TheFastEncodingIsAsExactOnAPhotoLikePicture) {
    Image image(97, 61);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y,
                           {static_cast<std::uint8_t>(x * 5 + y), static_cast<std::uint8_t>((x * y) % 251),
                            static_cast<std::uint8_t>(255 - y * 3), static_cast<std::uint8_t>(x % 2 ? 255 : 17)});
    auto fast = PngCodec::encode(image, PngCodec::Effort::fast);
    ASSERT_TRUE(fast);
    auto decoded = PngCodec::decode(*fast);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, image);
}

TEST(PngCodecTest, EncodesImagesWithPaddedRows) {
    std::vector<std::uint8_t> pixels(2 * 16, 0);
    pixels[0] = 9;       // (0,0) red
    pixels[16 + 7] = 5;  // (1,1) alpha
    Image padded(2, 2, 16, pixels);
    auto decoded = PngCodec::decode(*PngCodec::encode(padded));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->bytesPerRow(), 8u);
    EXPECT_EQ(decoded->pixel(0, 0), (Pixel{9, 0, 0, 0}));
    EXPECT_EQ(decoded->pixel(1, 1), (Pixel{0, 0, 0, 5}));
    EXPECT_EQ(*decoded, padded);
}

TEST(PngCodecTest, DecodesGreyPaletteAndSixteenBitToRGBA) {
    auto grey = PngCodec::decode(makePng(2, 1, 8, 0, {bytes({0, 200})}));
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->pixel(1, 0), (Pixel{200, 200, 200, 255}));

    auto greyAlpha = PngCodec::decode(makePng(1, 1, 8, 4, {bytes({50, 60})}));
    ASSERT_TRUE(greyAlpha);
    EXPECT_EQ(greyAlpha->pixel(0, 0), (Pixel{50, 50, 50, 60}));

    auto bits = PngCodec::decode(makePng(8, 1, 1, 0, {bytes({0b10100000})}));
    ASSERT_TRUE(bits);
    EXPECT_EQ(bits->pixel(0, 0), (Pixel{255, 255, 255, 255}));
    EXPECT_EQ(bits->pixel(1, 0), (Pixel{0, 0, 0, 255}));

    auto palette = PngCodec::decode(
        makePng(2, 1, 8, 3, {bytes({0, 1})}, {{"PLTE", bytes({10, 20, 30, 40, 50, 60})}, {"tRNS", bytes({0})}}));
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->pixel(0, 0), (Pixel{10, 20, 30, 0}));
    EXPECT_EQ(palette->pixel(1, 0), (Pixel{40, 50, 60, 255}));

    auto deep = PngCodec::decode(makePng(1, 1, 16, 2, {bytes({0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF})}));
    ASSERT_TRUE(deep);
    EXPECT_EQ(deep->pixel(0, 0), (Pixel{0x12, 0xAB, 0xFF, 255}));
}

TEST(PngCodecTest, RejectsMalformedAndTruncatedData) {
    EXPECT_FALSE(PngCodec::decode(""));
    EXPECT_FALSE(PngCodec::decode("not a png at all"));
    std::string good = *PngCodec::encode(Image(20, 20));
    for (std::size_t cut : {9ul, 30ul, good.size() / 2, good.size() - 13}) {
        auto result = PngCodec::decode(good.substr(0, cut));
        EXPECT_FALSE(result) << cut;
    }
    std::string corrupted = good;
    corrupted[40] ^= 0x55;
    EXPECT_FALSE(PngCodec::decode(corrupted));
    EXPECT_FALSE(PngCodec::encode(Image()));
}

}  // namespace
}  // namespace gfx
