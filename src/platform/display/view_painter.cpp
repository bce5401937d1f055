#include "platform/display/view_painter.h"

#include <cmath>

#include "platform/display/symbol_icons.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/views/window.h"

namespace display {

namespace {
void collectViews(ui::View& view, LayerPainter::ViewsByLayer& views) {
    views[&view.layer()] = &view;
    for (const auto& child : view.subviews()) collectViews(*child, views);
}

bool layerAnimates(const ui::Layer& layer) {
    if (layer.isHidden()) return false;
    if (layer.isAnimating()) return true;
    // What shows nowhere (controls faded out) moves nothing on screen, however its parts animate.
    if (layer.presentationOpacity() <= 0.001) return false;
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
      m_chrome(m_images, m_text, m_layers.cache()),
      m_damage(m_content) {}

PixelRegion ViewPainter::damage(ui::Window& window, double scale, int width, int height, int highlighted,
                                ChromePainter::Result& chrome) {
    chrome = m_chrome.paint(nullptr, window, scale, highlighted);
    auto region = m_damage.scan(window, chrome, scale, width, height);
    chrome.titleViews.clear();
    chrome.pieces.clear();
    return region;
}

ChromePainter::Result ViewPainter::chromeLayout(ui::Window& window, double scale) {
    auto chrome = m_chrome.paint(nullptr, window, scale);
    chrome.titleViews.clear();
    chrome.pieces.clear();
    return chrome;
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
    auto result = m_chrome.paint(cr, window, scale, highlighted);
    // An alert dims everything under it, title views too.
    if (!result.modal) paintTitleViews(window, result.titleViews, cr, scale);
    result.titleViews.clear();  // painted: the window's later touches need only the targets
    return result;
}

void ViewPainter::paintTitleViews(ui::Window& window, const std::vector<std::shared_ptr<ui::View>>& titleViews,
                                  cairo_t* cr, double scale) {
    for (const auto& titleView : titleViews) {
        // Only where a finger would reach it: nothing presented above covers it.
        const ui::Point center = titleView->convertToWindow(titleView->bounds().center());
        auto hit = window.hitTest(center);
        if (!hit || (hit != titleView && !hit->isDescendant(*titleView))) continue;
        LayerPainter::ViewsByLayer views;
        collectViews(*titleView, views);
        SavedState saved(cr);
        // The layer stands where its superview's bounds put it.
        auto superview = titleView->superview();
        const ui::Point origin = superview->convertToWindow(superview->bounds().origin);
        cairo_translate(cr, origin.x - superview->bounds().origin.x, origin.y - superview->bounds().origin.y);
        m_layers.paint(cr, titleView->layer(), views, scale);
    }
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
