#include "platform/graphics/gl_readback.h"

#include <GLES3/gl3.h>

#include <cmath>
#include <cstring>

namespace gfx {

namespace {
// Reads `width` x `height` pixels of `type` (4 components each), then puts the rows top first.
template <typename T>
std::vector<T> readRows(unsigned framebuffer, int width, int height, GLenum type, RowOrder drawn) {
    if (width <= 0 || height <= 0) return {};
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    std::vector<T> pixels(static_cast<std::size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, type, pixels.data());
    bool failed = glGetError() != GL_NO_ERROR;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (failed) return {};
    if (drawn == RowOrder::topFirst) return pixels;
    const std::size_t rowLength = static_cast<std::size_t>(width) * 4;
    std::vector<T> row(rowLength);
    for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        T* a = pixels.data() + top * rowLength;
        T* b = pixels.data() + bottom * rowLength;
        std::memcpy(row.data(), a, rowLength * sizeof(T));
        std::memcpy(a, b, rowLength * sizeof(T));
        std::memcpy(b, row.data(), rowLength * sizeof(T));
    }
    return pixels;
}
}  // namespace

Image readFramebufferRGBA8(unsigned framebuffer, int width, int height, RowOrder drawn) {
    auto pixels = readRows<std::uint8_t>(framebuffer, width, height, GL_UNSIGNED_BYTE, drawn);
    if (pixels.empty()) return {};
    return Image(width, height, static_cast<std::size_t>(width) * 4, std::move(pixels));
}

std::vector<std::uint16_t> readFramebufferRGBA16F(unsigned framebuffer, int width, int height) {
    return readRows<std::uint16_t>(framebuffer, width, height, GL_HALF_FLOAT, RowOrder::bottomFirst);
}

float halfToFloat(std::uint16_t half) {
    const int sign = (half >> 15) & 1;
    const int exponent = (half >> 10) & 0x1f;
    const int mantissa = half & 0x3ff;
    float value;
    if (exponent == 0) {
        value = std::ldexp(static_cast<float>(mantissa), -24);
    } else if (exponent == 31) {
        value = mantissa ? NAN : INFINITY;
    } else {
        value = std::ldexp(static_cast<float>(mantissa + 1024), exponent - 25);
    }
    return sign ? -value : value;
}

}  // namespace gfx
