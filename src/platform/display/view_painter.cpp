#include "platform/display/view_painter.h"

#include <cmath>
#include <functional>

#include "platform/display/symbol_icons.h"

namespace display {

namespace {
void collectViews(ui::View& view, LayerPainter::ViewsByLayer& views) {
    views[&view.layer()] = &view;
    for (const auto& child : view.subviews()) collectViews(*child, views);
}

bool layerAnimates(const ui::Layer& layer) {
    if (layer.isHidden()) return false;
    if (layer.isAnimating()) return true;
    for (const auto& sublayer : layer.sublayers()) {
        if (layerAnimates(*sublayer)) return true;
    }
    return layer.mask() && layerAnimates(*layer.mask());
}
}  // namespace

ViewPainter::ViewPainter(SymbolIcons& icons)
    : m_images(icons),
      m_text(m_images),
      m_content(m_images, m_text),
      m_layers(m_content),
      m_chrome(m_images, m_text, m_layers.cache()) {
    m_chrome.paintOverBar = [this](cairo_t* cr, ui::View& view, double scale) {
        auto superview = view.superview();
        if (!superview) return;
        LayerPainter::ViewsByLayer views;
        collectViews(view, views);
        SavedState saved(cr);
        // The layer stands where its superview's bounds put it.
        const ui::Point origin = superview->convertToWindow(superview->bounds().origin);
        cairo_translate(cr, origin.x - superview->bounds().origin.x, origin.y - superview->bounds().origin.y);
        m_layers.paint(cr, view.layer(), views, scale);
    };
}

void ViewPainter::paint(ui::View& root, cairo_t* cr, double scale) {
    LayerPainter::ViewsByLayer views;
    collectViews(root, views);
    // The last frame ends here rather than after its tree: the chrome painted over the tree kept
    // bitmaps in the same cache, and those count as used too.
    m_layers.endFrame();
    SavedState saved(cr);
    cairo_scale(cr, scale, scale);
    // The root stands at the origin whatever its frame says.
    const auto frame = root.frame();
    cairo_translate(cr, -frame.origin.x, -frame.origin.y);
    m_layers.paint(cr, root.layer(), views, scale);
    m_videoRegions = m_content.takeVideoRegions();
    m_images.purge();
}

ChromePainter::Result ViewPainter::paintChrome(ui::Window& window, cairo_t* cr, double scale, int highlighted) {
    SavedState saved(cr);
    cairo_scale(cr, scale, scale);
    return m_chrome.paint(cr, window, scale, highlighted);
}

gfx::Image ViewPainter::paintImage(ui::View& root, double scale) {
    const auto size = root.bounds().size;
    auto surface = createSurface(static_cast<int>(std::ceil(size.width * scale)),
                                 static_cast<int>(std::ceil(size.height * scale)));
    CairoPtr cr(cairo_create(surface.get()));
    paint(root, cr.get(), scale);
    cr.reset();
    return imageFromSurface(surface.get());
}

bool ViewPainter::isAnimating(const ui::View& root) { return layerAnimates(root.layer()); }

}  // namespace display
