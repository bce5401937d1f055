#pragma once

#include <unordered_map>

#include "platform/display/cairo_surface.h"
#include "platform/ui/views/layer.h"

namespace ui {
class View;
}

namespace display {

class ContentPainter;

// Walks a layer tree in drawing order and paints it with cairo: each layer at its presentation
// geometry (position, bounds, anchor, transform) and opacity, with its shadow, background and
// rounded corners, its own content (gradients, shapes, the content of the view it backs), its
// sublayers by z position (clipped when it masks to bounds, repeated by a replicator), its
// border on top, and the mask that cuts it out. Main thread (the painter's).
class LayerPainter {
public:
    using ViewsByLayer = std::unordered_map<const ui::Layer*, ui::View*>;

    LayerPainter(ContentPainter& content) : m_content(content) {}

    // Paints `layer` into `cr`, whose user space is the layer's superlayer's; `scale` is pixels
    // per point. `views` tells which view a layer backs.
    void paint(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale);

    // The path of a rectangle with `layer`'s corner radius, curve and masked corners.
    static void cornerPath(cairo_t* cr, const ui::Rect& rect, double radius, std::uint32_t corners);

private:
    void paintBody(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, const ViewsByLayer& views,
                   double scale);
    void paintShadow(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, double radius, double scale);
    void paintSublayers(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale);

    ContentPainter& m_content;
};

}  // namespace display
