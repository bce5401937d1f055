#include "platform/display/layer_painter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/display/content_painter.h"
#include "platform/display/layer_geometry.h"
#include "platform/display/shadow_blur.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/views/gradient_layer.h"
#include "platform/ui/views/replicator_layer.h"
#include "platform/ui/views/shape_layer.h"
#include "platform/ui/views/view.h"

namespace display {

namespace {
void setColor(cairo_t* cr, const ui::Color& c, double alpha = 1) {
    cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha * alpha);
}

void addPath(cairo_t* cr, const ui::BezierPath& path) {
    for (const auto& element : path.elements()) {
        using Kind = ui::BezierPath::Element::Kind;
        const auto& r = element.rect;
        switch (element.kind) {
            case Kind::move: cairo_move_to(cr, element.point.x, element.point.y); break;
            case Kind::line: cairo_line_to(cr, element.point.x, element.point.y); break;
            case Kind::close: cairo_close_path(cr); break;
            case Kind::rect: cairo_rectangle(cr, r.origin.x, r.origin.y, r.size.width, r.size.height); break;
            case Kind::roundedRect: LayerPainter::cornerPath(cr, r, element.cornerRadius, ui::allCorners); break;
            case Kind::ellipse: addEllipsePath(cr, r); break;
        }
    }
}

void paintGradient(cairo_t* cr, const ui::GradientLayer& layer, const ui::Rect& bounds) {
    const auto colors = layer.presentationColors();
    if (colors.empty()) return;
    const auto& locations = layer.locations();
    const double x = bounds.origin.x, y = bounds.origin.y, w = bounds.size.width, h = bounds.size.height;
    auto* pattern = cairo_pattern_create_linear(x + layer.startPoint().x * w, y + layer.startPoint().y * h,
                                                x + layer.endPoint().x * w, y + layer.endPoint().y * h);
    for (size_t i = 0; i < colors.size(); ++i) {
        // Without locations the colours spread evenly.
        double at = locations.size() == colors.size() ? locations[i]
                    : colors.size() > 1               ? static_cast<double>(i) / static_cast<double>(colors.size() - 1)
                                                      : 0;
        const auto& c = colors[i];
        cairo_pattern_add_color_stop_rgba(pattern, at, c.red, c.green, c.blue, c.alpha);
    }
    cairo_set_source(cr, pattern);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_pattern_destroy(pattern);
}

void paintShape(cairo_t* cr, const ui::ShapeLayer& layer) {
    if (!layer.path() || layer.path()->isEmpty()) return;
    cairo_new_path(cr);
    addPath(cr, *layer.path());
    if (auto fill = layer.fillColor()) {
        setColor(cr, *fill);
        cairo_fill_preserve(cr);
    }
    if (auto stroke = layer.strokeColor(); stroke && layer.lineWidth() > 0) {
        setColor(cr, *stroke);
        cairo_set_line_width(cr, layer.lineWidth());
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
}
}  // namespace

void LayerPainter::cornerPath(cairo_t* cr, const ui::Rect& rect, double radius, std::uint32_t corners) {
    const double x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
    radius = std::max(0.0, std::min({radius, w / 2, h / 2}));
    if (radius <= 0) {
        cairo_rectangle(cr, x, y, w, h);
        return;
    }
    constexpr double pi = std::numbers::pi;
    auto corner = [&](std::uint32_t which, double cx, double cy, double from, double px, double py) {
        if (corners & which) {
            cairo_arc(cr, cx, cy, radius, from, from + pi / 2);
        } else {
            cairo_line_to(cr, px, py);
        }
    };
    cairo_new_sub_path(cr);
    corner(ui::minXMinYCorner, x + radius, y + radius, pi, x, y);
    corner(ui::maxXMinYCorner, x + w - radius, y + radius, -pi / 2, x + w, y);
    corner(ui::maxXMaxYCorner, x + w - radius, y + h - radius, 0, x + w, y + h);
    corner(ui::minXMaxYCorner, x + radius, y + h - radius, pi / 2, x, y + h);
    cairo_close_path(cr);
}

void LayerPainter::paint(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale) {
    paintLayer(cr, layer, views, scale, false);
}

void LayerPainter::paintLayer(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale,
                              bool moving) {
    if (layer.isHidden()) return;
    moving = moving || layer.isAnimating();
    const double opacity = layer.presentationOpacity();
    if (opacity <= 0.001) return;
    const LayerGeometry geometry = LayerGeometry::presented(layer);
    const ui::Rect bounds = geometry.bounds;

    SavedState saved(cr);
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    geometry.apply(matrix);
    cairo_set_matrix(cr, &matrix);

    const auto mask = layer.mask();
    const bool grouped = opacity < 0.999 || mask;
    if (grouped) cairo_push_group(cr);
    paintBody(cr, layer, bounds, views, scale, moving);
    if (!grouped) return;
    auto* content = cairo_pop_group(cr);
    if (mask) {
        // The mask lies in this layer's coordinates; its alpha cuts the layer out.
        cairo_push_group(cr);
        paintLayer(cr, *mask, views, scale, moving);
        auto* maskPattern = cairo_pop_group(cr);
        cairo_push_group(cr);
        cairo_set_source(cr, content);
        cairo_mask(cr, maskPattern);
        cairo_pattern_destroy(maskPattern);
        cairo_pattern_destroy(content);
        content = cairo_pop_group(cr);
    }
    cairo_set_source(cr, content);
    cairo_paint_with_alpha(cr, opacity);
    cairo_pattern_destroy(content);
}

void LayerPainter::paintBody(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, const ViewsByLayer& views,
                             double scale, bool moving) {
    const double radius = presentedValue<double>(layer, "cornerRadius", layer.cornerRadius());
    const auto corners = layer.maskedCorners();
    auto found = views.find(&layer);
    ui::View* view = found != views.end() ? found->second : nullptr;
    const auto content = view ? m_content.kind(*view) : ContentPainter::Kind::none;
    auto* gradient = dynamic_cast<const ui::GradientLayer*>(&layer);
    // A plain background costs no more to fill than its bitmap would to copy.
    const bool costly = (layer.shadowOpacity() > 0 && layer.shadowColor()) || gradient ||
                        dynamic_cast<const ui::ShapeLayer*>(&layer) || content == ContentPainter::Kind::cacheable;
    if (costly) {
        Fingerprint key;
        key.add(layer.contentsVersion()).add(bounds).add(radius).add(scale);
        key.add(
            presentedValue<ui::Color>(layer, "backgroundColor", layer.backgroundColor().value_or(ui::Color::clear())));
        if (gradient) {
            for (const auto& color : gradient->presentationColors()) key.add(color);
        }
        if (content == ContentPainter::Kind::cacheable) m_content.fingerprint(*view, key);
        m_cache.draw(cr, layer, 0, key, moving, [&](cairo_t* target) {
            paintOwn(target, layer, bounds, view, content == ContentPainter::Kind::cacheable, scale);
        });
    } else {
        paintOwn(cr, layer, bounds, view, false, scale);
    }
    {
        SavedState contentState(cr);
        // A scroll view shows its content only through its bounds, whatever its layer says: rows
        // scrolled out of a popover's list must not spill over what lies beside it.
        if (layer.masksToBounds() || dynamic_cast<ui::ScrollView*>(view)) {
            cornerPath(cr, bounds, radius, corners);
            cairo_clip(cr);
        }
        if (content == ContentPainter::Kind::live) m_content.draw(cr, *view, scale);
        paintSublayers(cr, layer, views, scale, moving);
    }
    if (layer.borderWidth() > 0 && layer.borderColor()) {
        const double inset = layer.borderWidth() / 2;
        const ui::Rect inner(bounds.origin.x + inset, bounds.origin.y + inset, bounds.size.width - 2 * inset,
                             bounds.size.height - 2 * inset);
        cornerPath(cr, inner, std::max(0.0, radius - inset), corners);
        setColor(cr, *layer.borderColor());
        cairo_set_line_width(cr, layer.borderWidth());
        cairo_stroke(cr);
    }
}

void LayerPainter::paintOwn(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, ui::View* view,
                            bool withContent, double scale) {
    const double radius = presentedValue<double>(layer, "cornerRadius", layer.cornerRadius());
    const auto corners = layer.maskedCorners();
    if (layer.shadowOpacity() > 0 && layer.shadowColor()) paintShadow(cr, layer, bounds, radius, scale);
    const auto background =
        presentedValue<ui::Color>(layer, "backgroundColor", layer.backgroundColor().value_or(ui::Color::clear()));
    if (background.alpha > 0) {
        cornerPath(cr, bounds, radius, corners);
        setColor(cr, background);
        cairo_fill(cr);
    }
    SavedState contentState(cr);
    if (layer.masksToBounds()) {
        cornerPath(cr, bounds, radius, corners);
        cairo_clip(cr);
    }
    if (auto* gradient = dynamic_cast<const ui::GradientLayer*>(&layer)) paintGradient(cr, *gradient, bounds);
    if (auto* shape = dynamic_cast<const ui::ShapeLayer*>(&layer)) paintShape(cr, *shape);
    if (withContent && view) m_content.draw(cr, *view, scale);
}

void LayerPainter::paintShadow(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, double radius,
                               double scale) {
    const auto color = layer.shadowColor()->withAlpha(layer.shadowColor()->alpha * layer.shadowOpacity());
    const auto offset = layer.shadowOffset();
    if (const auto& path = layer.shadowPath()) {
        paintBlurredShape(cr, scale, layer.shadowRadius(), color, [&](cairo_t* target) {
            SavedState moved(target);
            cairo_translate(target, offset.width, offset.height);
            addPath(target, *path);
        });
        return;
    }
    // Without a path the shadow follows the rounded bounds (what the layers of this toolkit cast
    // it from).
    paintBlurredShape(cr, scale, layer.shadowRadius(), color, [&](cairo_t* target) {
        cornerPath(target,
                   ui::Rect(bounds.origin.x + offset.width, bounds.origin.y + offset.height, bounds.size.width,
                            bounds.size.height),
                   radius, layer.maskedCorners());
    });
}

void LayerPainter::paintSublayers(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale,
                                  bool moving) {
    const auto ordered = paintOrder(layer);
    const auto [copies, step] = Replication::of(layer);
    SavedState saved(cr);
    for (int copy = 0; copy < copies; ++copy) {
        if (copy > 0) cairo_transform(cr, &step);
        for (const auto* sublayer : ordered) paintLayer(cr, *sublayer, views, scale, moving);
    }
}

}  // namespace display
