#include "platform/display/shadow_blur.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace display {

namespace {
// One box pass of `radius` pixels along rows (`horizontal`) or columns of an A8 buffer.
void boxPass(std::uint8_t* data, int width, int height, int stride, int radius, bool horizontal) {
    const int lines = horizontal ? height : width;
    const int length = horizontal ? width : height;
    const int step = horizontal ? 1 : stride;
    std::vector<std::uint8_t> line(static_cast<size_t>(length));
    const int window = 2 * radius + 1;
    for (int l = 0; l < lines; ++l) {
        std::uint8_t* start = horizontal ? data + static_cast<std::ptrdiff_t>(l) * stride : data + l;
        for (int i = 0; i < length; ++i) line[static_cast<size_t>(i)] = start[static_cast<std::ptrdiff_t>(i) * step];
        int sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += (i >= 0 && i < length) ? line[static_cast<size_t>(i)] : 0;
        for (int i = 0; i < length; ++i) {
            start[static_cast<std::ptrdiff_t>(i) * step] = static_cast<std::uint8_t>(sum / window);
            const int out = i - radius, in = i + radius + 1;
            if (out >= 0) sum -= line[static_cast<size_t>(out)];
            if (in < length) sum += line[static_cast<size_t>(in)];
        }
    }
}
}  // namespace

void paintBlurredShape(cairo_t* cr, double scale, double blur, const ui::Color& color,
                       const std::function<void(cairo_t*)>& addPath) {
    if (color.alpha <= 0) return;
    SavedState saved(cr);
    cairo_new_path(cr);
    addPath(cr);
    if (blur <= 0) {
        cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
        cairo_fill(cr);
        return;
    }
    // The blur is made in device pixels around the shape's device extents.
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    cairo_fill_extents(cr, &x0, &y0, &x1, &y1);
    cairo_user_to_device(cr, &x0, &y0);
    cairo_user_to_device(cr, &x1, &y1);
    const int radius = std::max(1, static_cast<int>(std::lround(blur * scale / 2)));
    const int margin = 3 * radius + 1;
    const int left = static_cast<int>(std::floor(std::min(x0, x1))) - margin;
    const int top = static_cast<int>(std::floor(std::min(y0, y1))) - margin;
    const int width = static_cast<int>(std::ceil(std::max(x0, x1))) + margin - left;
    const int height = static_cast<int>(std::ceil(std::max(y0, y1))) + margin - top;
    if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return;
    SurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, width, height));
    {
        CairoPtr shape(cairo_create(mask.get()));
        cairo_matrix_t matrix;
        cairo_get_matrix(cr, &matrix);
        matrix.x0 -= left;
        matrix.y0 -= top;
        cairo_set_matrix(shape.get(), &matrix);
        addPath(shape.get());
        cairo_fill(shape.get());
    }
    cairo_surface_flush(mask.get());
    auto* data = cairo_image_surface_get_data(mask.get());
    const int stride = cairo_image_surface_get_stride(mask.get());
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(data, width, height, stride, radius, true);
        boxPass(data, width, height, stride, radius, false);
    }
    cairo_surface_mark_dirty(mask.get());
    cairo_new_path(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
    cairo_mask_surface(cr, mask.get(), left, top);
}

}  // namespace display
