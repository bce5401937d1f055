#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "platform/graphics/gl_readback.h"
#include "platform/media/pixel_buffer.h"

namespace testing_support {

// One pixel of an RGBA half-float pixel buffer (rows top first) as four floats. Header only: the
// tests that use it link the graphics and media libraries themselves.
inline std::array<float, 4> halfPixel(const media::PixelBuffer& buffer, int x, int y) {
    std::array<float, 4> out{};
    const auto* row = buffer.baseAddressOfPlane(0) + static_cast<std::size_t>(y) * buffer.bytesPerRow();
    for (int c = 0; c < 4; ++c) {
        std::uint16_t half;
        std::memcpy(&half, row + x * 8 + c * 2, 2);
        out[c] = gfx::halfToFloat(half);
    }
    return out;
}

}  // namespace testing_support
