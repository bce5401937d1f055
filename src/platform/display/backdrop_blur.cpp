#include "platform/display/backdrop_blur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace display {

namespace {
// One box pass of `radius` pixels along rows (`horizontal`) or columns of premultiplied ARGB
// pixels; the edges repeat their last pixel, so the backdrop does not darken towards them.
void boxPass(std::uint32_t* data, int width, int height, int stridePixels, int radius, bool horizontal) {
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int step = horizontal ? 1 : stridePixels;
    std::vector<std::uint32_t> line(static_cast<size_t>(length));
    const int window = 2 * radius + 1;
    auto at = [&](int i) { return line[static_cast<size_t>(std::clamp(i, 0, length - 1))]; };
    for (int l = 0; l < lines; ++l) {
        std::uint32_t* start = horizontal ? data + static_cast<std::ptrdiff_t>(l) * stridePixels : data + l;
        for (int i = 0; i < length; ++i) line[static_cast<size_t>(i)] = start[static_cast<std::ptrdiff_t>(i) * step];
        std::uint32_t sum[4] = {0, 0, 0, 0};
        for (int i = -radius; i <= radius; ++i)
            for (int c = 0; c < 4; ++c) sum[c] += (at(i) >> (8 * c)) & 0xFF;
        for (int i = 0; i < length; ++i) {
            std::uint32_t pixel = 0;
            for (int c = 0; c < 4; ++c) pixel |= (sum[c] / window) << (8 * c);
            start[static_cast<std::ptrdiff_t>(i) * step] = pixel;
            const std::uint32_t out = at(i - radius), in = at(i + radius + 1);
            for (int c = 0; c < 4; ++c) sum[c] += ((in >> (8 * c)) & 0xFF) - ((out >> (8 * c)) & 0xFF);
        }
    }
}
// Each `factor` x `factor` block of the target's pixels in [left, right) x [top, bottom) averaged
// into one pixel of `small` (an exact box filter: fine text leaves no moiré behind). Two channels
// are summed in one 64-bit word, 32 bits apart (a block of at most 256 pixels fits 16 bits).
void reduce(const unsigned char* data, int stride, bool opaque, int left, int top, int right, int bottom, int factor,
            cairo_surface_t* small) {
    const int width = cairo_image_surface_get_width(small);
    const int smallStride = cairo_image_surface_get_stride(small) / 4;
    auto* out = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(small));
    const std::uint32_t fill = opaque ? 0xFF000000u : 0;
    std::vector<std::uint64_t> evens(static_cast<size_t>(width)), odds(static_cast<size_t>(width));
    for (int blockTop = top, row = 0; blockTop < bottom; blockTop += factor, ++row) {
        std::fill(evens.begin(), evens.end(), 0);
        std::fill(odds.begin(), odds.end(), 0);
        const int blockBottom = std::min(bottom, blockTop + factor);
        for (int y = blockTop; y < blockBottom; ++y) {
            const auto* line = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
            for (int column = 0, x = left; column < width; ++column) {
                const int end = std::min(right, x + factor);
                std::uint64_t even = 0, odd = 0;
                for (; x < end; ++x) {
                    const std::uint64_t pixel = line[x] | fill;
                    even += (pixel & 0xFFu) | ((pixel & 0xFF0000u) << 16);
                    odd += ((pixel >> 8) & 0xFFu) | (((pixel >> 8) & 0xFF0000u) << 16);
                }
                evens[static_cast<size_t>(column)] += even;
                odds[static_cast<size_t>(column)] += odd;
            }
        }
        for (int column = 0; column < width; ++column) {
            const int columns = std::min(factor, right - left - column * factor);
            const auto count = static_cast<std::uint64_t>(columns * (blockBottom - blockTop));
            // Bits 0-15 and 32-47 hold channels 0 and 2 (odd: 1 and 3).
            const std::uint64_t even = evens[static_cast<size_t>(column)], odd = odds[static_cast<size_t>(column)];
            const auto channel = [&](std::uint64_t sums, int lane) {
                return static_cast<std::uint32_t>(((sums >> (32 * lane)) & 0xFFFFu) / count);
            };
            out[static_cast<std::ptrdiff_t>(row) * smallStride + column] =
                channel(even, 0) | channel(odd, 0) << 8 | channel(even, 1) << 16 | channel(odd, 1) << 24;
        }
    }
    cairo_surface_mark_dirty(small);
}
}  // namespace

void blurBackdrop(cairo_t* cr, const ui::Rect& rect, double blur, double scale) {
    cairo_surface_t* target = cairo_get_group_target(cr);
    if (!target || cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_IMAGE || blur <= 0) return;
    const int targetWidth = cairo_image_surface_get_width(target);
    const int targetHeight = cairo_image_surface_get_height(target);
    const auto format = cairo_image_surface_get_format(target);
    if (format != CAIRO_FORMAT_ARGB32 && format != CAIRO_FORMAT_RGB24) return;
    // The rectangle in device space, then in the target's pixels (a group's target is offset).
    double xs[4] = {rect.minX(), rect.maxX(), rect.minX(), rect.maxX()};
    double ys[4] = {rect.minY(), rect.minY(), rect.maxY(), rect.maxY()};
    for (int i = 0; i < 4; ++i) cairo_user_to_device(cr, &xs[i], &ys[i]);
    double offsetX = 0, offsetY = 0;
    cairo_surface_get_device_offset(target, &offsetX, &offsetY);
    const int left = std::max(0, static_cast<int>(std::floor(*std::min_element(xs, xs + 4) + offsetX)));
    const int top = std::max(0, static_cast<int>(std::floor(*std::min_element(ys, ys + 4) + offsetY)));
    const int right = std::min(targetWidth, static_cast<int>(std::ceil(*std::max_element(xs, xs + 4) + offsetX)));
    const int bottom = std::min(targetHeight, static_cast<int>(std::ceil(*std::max_element(ys, ys + 4) + offsetY)));
    if (right <= left || bottom <= top) return;

    // Read at 1/factor of the resolution and blurred by a few small pixels there.
    const double blurPixels = blur * scale;
    // At most 16: a block of 256 pixels keeps its sums in 16 bits.
    const int factor = std::clamp(static_cast<int>(blurPixels / 6), 1, 16);
    const int radius = std::max(1, static_cast<int>(std::lround(blurPixels / factor / 2)));
    const int width = (right - left + factor - 1) / factor, height = (bottom - top + factor - 1) / factor;
    cairo_surface_flush(target);
    SurfacePtr small(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
    reduce(cairo_image_surface_get_data(target), cairo_image_surface_get_stride(target), format == CAIRO_FORMAT_RGB24,
           left, top, right, bottom, factor, small.get());
    cairo_surface_flush(small.get());
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(small.get()));
    const int stride = cairo_image_surface_get_stride(small.get()) / 4;
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(data, width, height, stride, radius, true);
        boxPass(data, width, height, stride, radius, false);
    }
    cairo_surface_mark_dirty(small.get());

    // Back over the rectangle (and the clip that holds now), in place of the sharp backdrop.
    SavedState saved(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
    cairo_clip(cr);
    cairo_identity_matrix(cr);
    cairo_translate(cr, left - offsetX, top - offsetY);
    cairo_scale(cr, factor, factor);
    cairo_set_source_surface(cr, small.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
}

}  // namespace display
