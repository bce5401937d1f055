#include "platform/display/image_painter.h"

#include <algorithm>
#include <cmath>

#include "platform/display/symbol_icons.h"

namespace display {

ui::Rect ImagePainter::place(ui::Size size, const ui::Rect& rect, ui::ContentMode mode) {
    using ui::ContentMode;
    const double w = size.width, h = size.height;
    const double rx = rect.origin.x, ry = rect.origin.y, rw = rect.size.width, rh = rect.size.height;
    if (w <= 0 || h <= 0) return rect;
    switch (mode) {
        case ContentMode::scaleToFill:
        case ContentMode::redraw: return rect;
        case ContentMode::scaleAspectFit:
        case ContentMode::scaleAspectFill: {
            const double fit =
                mode == ContentMode::scaleAspectFit ? std::min(rw / w, rh / h) : std::max(rw / w, rh / h);
            return ui::Rect(rx + (rw - w * fit) / 2, ry + (rh - h * fit) / 2, w * fit, h * fit);
        }
        case ContentMode::center: return ui::Rect(rx + (rw - w) / 2, ry + (rh - h) / 2, w, h);
        case ContentMode::top: return ui::Rect(rx + (rw - w) / 2, ry, w, h);
        case ContentMode::bottom: return ui::Rect(rx + (rw - w) / 2, ry + rh - h, w, h);
        case ContentMode::left: return ui::Rect(rx, ry + (rh - h) / 2, w, h);
        case ContentMode::right: return ui::Rect(rx + rw - w, ry + (rh - h) / 2, w, h);
        case ContentMode::topLeft: return ui::Rect(rx, ry, w, h);
        case ContentMode::topRight: return ui::Rect(rx + rw - w, ry, w, h);
        case ContentMode::bottomLeft: return ui::Rect(rx, ry + rh - h, w, h);
        case ContentMode::bottomRight: return ui::Rect(rx + rw - w, ry + rh - h, w, h);
    }
    return rect;
}

void ImagePainter::fingerprint(const ui::Image& image, Fingerprint& key) {
    key.add(image.symbolName()).add(image.size()).add(image.tintColor());
    key.add(static_cast<int>(image.renderingMode())).pin(image.cgImage());
}

cairo_surface_t* ImagePainter::surfaceFor(const std::shared_ptr<const gfx::Image>& bitmap) {
    auto found = m_surfaces.find(bitmap.get());
    if (found != m_surfaces.end() && found->second.bitmap.lock() == bitmap) return found->second.surface.get();
    Cached cached{bitmap, surfaceFromImage(*bitmap)};
    auto* surface = cached.surface.get();
    m_surfaces[bitmap.get()] = std::move(cached);
    return surface;
}

void ImagePainter::purge() {
    std::erase_if(m_surfaces, [](const auto& entry) { return entry.second.bitmap.expired(); });
}

void ImagePainter::draw(cairo_t* cr, const ui::Image& image, const ui::Rect& rect, ui::ContentMode mode,
                        const ui::Color& tint, double scale) {
    const ui::Rect target = place(image.size(), rect, mode);
    if (target.size.width <= 0 || target.size.height <= 0) return;
    const ui::Color color = image.tintColor().value_or(tint);
    cairo_surface_t* surface = nullptr;
    bool tinted = image.renderingMode() == ui::ImageRenderingMode::alwaysTemplate;
    if (image.isSymbolImage()) {
        const int pixels = static_cast<int>(std::ceil(std::max(target.size.width, target.size.height) * scale));
        surface = m_icons.surface(image.symbolName(), pixels);
        // A symbol given its own colour keeps it in any rendering mode.
        tinted = image.tintColor() || image.renderingMode() != ui::ImageRenderingMode::alwaysOriginal;
    } else if (auto bitmap = image.cgImage(); bitmap && !bitmap->isEmpty()) {
        surface = surfaceFor(bitmap);
    }
    if (!surface) return;
    const double sw = cairo_image_surface_get_width(surface);
    const double sh = cairo_image_surface_get_height(surface);
    SavedState saved(cr);
    cairo_rectangle(cr, target.origin.x, target.origin.y, target.size.width, target.size.height);
    cairo_clip(cr);
    cairo_translate(cr, target.origin.x, target.origin.y);
    cairo_scale(cr, target.size.width / sw, target.size.height / sh);
    if (tinted) {
        cairo_set_source_rgba(cr, color.red, color.green, color.blue, color.alpha);
        auto* mask = cairo_pattern_create_for_surface(surface);
        cairo_pattern_set_extend(mask, CAIRO_EXTEND_PAD);
        cairo_mask(cr, mask);
        cairo_pattern_destroy(mask);
    } else {
        cairo_set_source_surface(cr, surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        // Edge pixels repeat outwards, so a scaled image does not fade into its border.
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_paint(cr);
    }
}

}  // namespace display
