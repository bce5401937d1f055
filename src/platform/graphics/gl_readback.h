#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics/image.h"

namespace gfx {

// Read-back of a framebuffer object's colour attachment, on the thread where its context is
// current. Rows come top first as the framebuffer would show on a screen: GL's last row first,
// unless the picture was drawn upside down in GL's terms (`RowOrder::topFirst`).
enum class RowOrder { bottomFirst, topFirst };

// An 8-bit RGBA or BGRA attachment as an RGBA image; empty when the framebuffer cannot be read.
Image readFramebufferRGBA8(unsigned framebuffer, int width, int height, RowOrder drawn = RowOrder::bottomFirst);

// An RGBA16F attachment as half floats, 4 per pixel, rows top first; empty on failure.
std::vector<std::uint16_t> readFramebufferRGBA16F(unsigned framebuffer, int width, int height);

// IEEE 754 half precision to single precision.
float halfToFloat(std::uint16_t half);

}  // namespace gfx
