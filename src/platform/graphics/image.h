#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/graphics/color.h"

namespace gfx {

// One RGBA8 pixel (straight alpha).
struct Pixel {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Pixel&) const = default;
};

// An RGBA8 bitmap with straight alpha: 4 bytes per pixel in R, G, B, A order, rows top to bottom,
// each row `bytesPerRow()` bytes (at least width * 4). Value type.
class Image {
public:
    Image() = default;  // empty: 0 x 0
    // A transparent image; sizes must not be negative (fatal otherwise).
    Image(int width, int height);
    // Takes pixel rows laid out as described above; fatal when `pixels` is too small.
    Image(int width, int height, std::size_t bytesPerRow, std::vector<std::uint8_t> pixels);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }
    std::size_t bytesPerRow() const { return m_bytesPerRow; }
    const std::vector<std::uint8_t>& pixels() const { return m_pixels; }
    std::vector<std::uint8_t>& pixels() { return m_pixels; }
    const std::uint8_t* row(int y) const { return m_pixels.data() + static_cast<std::size_t>(y) * m_bytesPerRow; }
    std::uint8_t* row(int y) { return m_pixels.data() + static_cast<std::size_t>(y) * m_bytesPerRow; }

    // Coordinates outside the image are a programming error (fatal).
    Pixel pixel(int x, int y) const;
    void setPixel(int x, int y, Pixel pixel);
    // Fills the whole image with a colour (components rounded to 8 bits).
    void fill(Color color);

    static Pixel toPixel(Color color);
    static Color toColor(Pixel pixel);

    // Same size and same pixels (row padding ignored).
    bool operator==(const Image& other) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::size_t m_bytesPerRow = 0;
    std::vector<std::uint8_t> m_pixels;
};

}  // namespace gfx
