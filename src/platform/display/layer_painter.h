#pragma once

#include <unordered_map>

#include "platform/display/cairo_surface.h"
#include "platform/display/layer_cache.h"
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
// border on top, and the mask that cuts it out. What is costly to draw of a layer itself (its
// shadow, gradient, shape or view content, with its background and corners) goes through a
// LayerCache, so an unchanged layer composites its bitmap instead. Main thread (the painter's).
class LayerPainter {
public:
    using ViewsByLayer = std::unordered_map<const ui::Layer*, ui::View*>;

    LayerPainter(ContentPainter& content) : m_content(content) {}

    // Paints `layer` into `cr`, whose user space is the layer's superlayer's; `scale` is pixels
    // per point. `views` tells which view a layer backs.
    void paint(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale);

    // Ends a frame: bitmaps the frame did not use (here or through the cache directly) are let go.
    void endFrame() { m_cache.endFrame(); }
    LayerCache& cache() { return m_cache; }
    const LayerCache& cache() const { return m_cache; }

    // The path of a rectangle with `layer`'s corner radius, curve and masked corners.
    static void cornerPath(cairo_t* cr, const ui::Rect& rect, double radius, std::uint32_t corners);

private:
    // `moving`: the layer's place is animated (here or above).
    void paintLayer(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale, bool moving);
    void paintBody(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, const ViewsByLayer& views, double scale,
                   bool moving);
    // The layer's own drawing below its sublayers: shadow, background, and inside its clip the
    // gradient, shape and the view's content (unless `withContent` is false).
    void paintOwn(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, ui::View* view, bool withContent,
                  double scale);
    void paintShadow(cairo_t* cr, const ui::Layer& layer, const ui::Rect& bounds, double radius, double scale);
    void paintSublayers(cairo_t* cr, const ui::Layer& layer, const ViewsByLayer& views, double scale, bool moving);

    ContentPainter& m_content;
    LayerCache m_cache;
};

}  // namespace display
