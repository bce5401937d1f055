#include "platform/display/cairo_surface.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace display {

SurfacePtr createSurface(int width, int height) {
    return SurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, std::max(width, 1), std::max(height, 1)));
}

SurfacePtr surfaceFromImage(const gfx::Image& image) {
    auto surface = createSurface(image.width(), image.height());
    cairo_surface_flush(surface.get());
    auto* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* in = image.row(y);
        auto* out = reinterpret_cast<std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < image.width(); ++x, in += 4) {
            const std::uint32_t a = in[3];
            const std::uint32_t r = (in[0] * a + 127) / 255;
            const std::uint32_t g = (in[1] * a + 127) / 255;
            const std::uint32_t b = (in[2] * a + 127) / 255;
            out[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(surface.get());
    return surface;
}

gfx::Image imageFromSurface(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const auto* data = cairo_image_surface_get_data(surface);
    gfx::Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        std::uint8_t* out = image.row(y);
        for (int x = 0; x < width; ++x, out += 4) {
            const std::uint32_t p = in[x];
            const std::uint32_t a = p >> 24;
            auto straight = [a](std::uint32_t c) {
                return static_cast<std::uint8_t>(a ? std::min<std::uint32_t>(255, (c * 255 + a / 2) / a) : 0);
            };
            out[0] = straight((p >> 16) & 0xFF);
            out[1] = straight((p >> 8) & 0xFF);
            out[2] = straight(p & 0xFF);
            out[3] = static_cast<std::uint8_t>(a);
        }
    }
    return image;
}

void addEllipsePath(cairo_t* cr, const ui::Rect& r) {
    if (r.size.width <= 0 || r.size.height <= 0) return;
    SavedState saved(cr);
    cairo_translate(cr, r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2);
    cairo_scale(cr, r.size.width / 2, r.size.height / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_close_path(cr);
}

}  // namespace display
