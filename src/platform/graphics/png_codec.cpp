#include "platform/graphics/png_codec.h"

#include <png.h>

#include <cstring>

namespace gfx {

using foundation::Error;
using foundation::Result;

namespace {

// libpng reports through longjmp; these wrappers keep every C++ object out of the frames it
// jumps across.

struct ReadSource {
    const unsigned char* bytes;
    std::size_t size;
    std::size_t offset = 0;
};

void readBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (source->size - source->offset < length) png_error(png, "truncated PNG data");
    std::memcpy(out, source->bytes + source->offset, length);
    source->offset += length;
}

void writeBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<foundation::Data*>(png_get_io_ptr(png));
    out->append(reinterpret_cast<const char*>(data), length);
}

void flushNothing(png_structp) {}

void keepMessage(png_structp png, png_const_charp message) {
    auto* text = static_cast<char*>(png_get_error_ptr(png));
    std::strncpy(text, message, 255);
    text[255] = '\0';
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// Decodes into `pixels` (sized here) or leaves a message; returns false on failure.
bool decodeRGBA(ReadSource& source, std::vector<std::uint8_t>& pixels, png_uint_32& width, png_uint_32& height,
                char* message) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, message, keepMessage, ignoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_read_fn(png, &source, readBytes);
    png_set_user_limits(png, 1 << 15, 1 << 15);
    png_read_info(png, info);
    int depth = png_get_bit_depth(png, info);
    int colorType = png_get_color_type(png, info);
    if (depth == 16) png_set_strip_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    if (!(colorType & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) png_error(png, "unexpected row layout");
    pixels.assign(static_cast<std::size_t>(width) * height * 4, 0);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + static_cast<std::size_t>(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

bool encodeRGBA(const Image& image, PngCodec::Effort effort, foundation::Data& out, char* message) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, message, keepMessage, ignoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height()));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &out, writeBytes, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (effort == PngCodec::Effort::fast) {
        // One cheap filter instead of trying all five on every row, and zlib's fastest level.
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_compression_level(png, 1);
    }
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y) rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(image.row(y));
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

Result<Image> PngCodec::decode(std::string_view data) {
    if (data.size() < 8 || png_sig_cmp(reinterpret_cast<png_const_bytep>(data.data()), 0, 8) != 0)
        return Error::foundation(foundation::kErrorInvalidArgument, "not PNG data");
    ReadSource source{reinterpret_cast<const unsigned char*>(data.data()), data.size()};
    std::vector<std::uint8_t> pixels;
    png_uint_32 width = 0, height = 0;
    char message[256] = "cannot decode PNG";
    if (!decodeRGBA(source, pixels, width, height, message))
        return Error::foundation(foundation::kErrorCorruptData, message);
    return Image(static_cast<int>(width), static_cast<int>(height), static_cast<std::size_t>(width) * 4,
                 std::move(pixels));
}

Result<foundation::Data> PngCodec::encode(const Image& image, Effort effort) {
    if (image.isEmpty()) return Error::foundation(foundation::kErrorInvalidArgument, "cannot encode an empty image");
    foundation::Data out;
    char message[256] = "cannot encode PNG";
    if (!encodeRGBA(image, effort, out, message)) return Error::foundation(foundation::kErrorWriteFailed, message);
    return out;
}

}  // namespace gfx
