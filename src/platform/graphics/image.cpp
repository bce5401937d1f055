#include "platform/graphics/image.h"

#include <cmath>
#include <cstring>

#include "platform/base/fatal.h"

namespace gfx {

namespace {

std::uint8_t toByte(double component) {
    if (!(component > 0)) return 0;  // also NaN
    if (component >= 1) return 255;
    return static_cast<std::uint8_t>(std::lround(component * 255));
}

}  // namespace

Image::Image(int width, int height) {
    if (width < 0 || height < 0) base::fatal("negative image size");
    m_width = width;
    m_height = height;
    m_bytesPerRow = static_cast<std::size_t>(width) * 4;
    m_pixels.assign(m_bytesPerRow * static_cast<std::size_t>(height), 0);
}

Image::Image(int width, int height, std::size_t bytesPerRow, std::vector<std::uint8_t> pixels)
    : m_width(width), m_height(height), m_bytesPerRow(bytesPerRow), m_pixels(std::move(pixels)) {
    if (width < 0 || height < 0) base::fatal("negative image size");
    if (bytesPerRow < static_cast<std::size_t>(width) * 4) base::fatal("rows shorter than the width");
    std::size_t needed = height == 0 ? 0 : bytesPerRow * static_cast<std::size_t>(height - 1) + width * 4u;
    if (m_pixels.size() < needed) base::fatal("pixel buffer smaller than the image");
}

Pixel Image::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) base::fatal("pixel outside the image");
    const std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

void Image::setPixel(int x, int y, Pixel value) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) base::fatal("pixel outside the image");
    std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 4;
    p[0] = value.r;
    p[1] = value.g;
    p[2] = value.b;
    p[3] = value.a;
}

void Image::fill(Color color) {
    Pixel value = toPixel(color);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) setPixel(x, y, value);
    }
}

Pixel Image::toPixel(Color color) {
    return {toByte(color.red), toByte(color.green), toByte(color.blue), toByte(color.alpha)};
}

Color Image::toColor(Pixel pixel) { return {pixel.r / 255.0, pixel.g / 255.0, pixel.b / 255.0, pixel.a / 255.0}; }

bool Image::operator==(const Image& other) const {
    if (m_width != other.m_width || m_height != other.m_height) return false;
    for (int y = 0; y < m_height; ++y) {
        if (std::memcmp(row(y), other.row(y), static_cast<std::size_t>(m_width) * 4) != 0) return false;
    }
    return true;
}

}  // namespace gfx
