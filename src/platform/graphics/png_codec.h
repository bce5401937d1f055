#pragma once

#include <string>
#include <string_view>

#include "platform/foundation/data.h"
#include "platform/foundation/error.h"
#include "platform/graphics/image.h"

namespace gfx {

// PNG through libpng.
class PngCodec {
public:
    // Decodes any PNG (grey, palette, 16-bit, with or without alpha, interlaced) to RGBA8.
    // Malformed or truncated data fails with kErrorInvalidArgument / kErrorCorruptData.
    static foundation::Result<Image> decode(std::string_view png);
    // Encodes as an 8-bit RGBA PNG. An empty image fails with kErrorInvalidArgument.
    static foundation::Result<foundation::Data> encode(const Image& image);
};

}  // namespace gfx
