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
    // How hard the encoder works for a smaller file: `fast` suits files the program writes for
    // itself many at a time (a library's thumbnails), at about a fifth of the time and a third
    // more bytes.
    enum class Effort { standard, fast };
    // Encodes as an 8-bit RGBA PNG. An empty image fails with kErrorInvalidArgument.
    static foundation::Result<foundation::Data> encode(const Image& image, Effort effort = Effort::standard);
};

}  // namespace gfx
