#pragma once

#include <memory>
#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/display/chrome_painter.h"
#include "platform/display/content_painter.h"
#include "platform/display/damage_tracker.h"
#include "platform/display/image_painter.h"
#include "platform/display/layer_painter.h"
#include "platform/display/text_painter.h"

namespace display {

class SymbolIcons;

// Paints a view tree (a window, or any view for tests) into pixels: the tree's layers in order
// with the content of the views they back. The painters it holds keep what is costly to make
// (icon and image surfaces, font faces and their glyph caches) from one frame to the next.
// Main thread only.
class ViewPainter {
public:
    explicit ViewPainter(SymbolIcons& icons);

    // Paints `root` with its top left at the target's origin, at `scale` pixels per point, over
    // what the target holds.
    void paint(ui::View& root, cairo_t* cr, double scale);
    // The window's navigation bars (with the title views in them), alerts and open menu, over what
    // `paint` drew of it; the element with handle `highlighted` (held down; 0: none) shows pressed.
    ChromePainter::Result paintChrome(ui::Window& window, cairo_t* cr, double scale, int highlighted = 0);
    // Where `window` with its chrome (the element `highlighted` held), painted at `scale` into a
    // target of `width` x `height` pixels, would differ from what the last look found; `chrome`
    // receives the chrome's layout (its targets), nothing drawn.
    PixelRegion damage(ui::Window& window, double scale, int width, int height, int highlighted,
                       ChromePainter::Result& chrome);
    // The chrome's layout now (its targets), nothing drawn and nothing of the last look changed.
    ChromePainter::Result chromeLayout(ui::Window& window, double scale);
    // After painting `painted`: where what changed drew past its place, to be painted as well.
    PixelRegion inkOutside(const PixelRegion& painted) { return m_damage.inkOutside(m_layers.cache(), painted); }
    // The next look damages everything (the target's pixels were lost).
    void invalidate() { m_damage.invalidate(); }
    // `root` painted alone into a transparent image of its size x `scale`.
    gfx::Image paintImage(ui::View& root, double scale);

    // Whether unchanged layers, bars, alerts and menus composite their kept bitmaps (on by
    // default); off, every paint draws everything again.
    void setCaching(bool caching) { m_layers.cache().setEnabled(caching); }
    LayerCache::Statistics cacheStatistics() const { return m_layers.cache().statistics(); }
    // Views whose content was drawn so far.
    std::uint64_t contentDraws() const { return m_content.draws(); }
    // Bars, alerts and menus drawn so far.
    std::uint64_t chromeDraws() const { return m_chrome.draws(); }

    // The OpenGL views of the last paint, in device pixels, bottom-most first.
    const std::vector<VideoRegion>& videoRegions() const { return m_videoRegions; }
    // Whether a layer of the tree shows an animation now (the next frame will differ).
    static bool isAnimating(const ui::View& root);

private:
    // A navigation item's title view is a view in the bar's place: painted again over the bar.
    void paintTitleViews(ui::Window& window, const std::vector<std::shared_ptr<ui::View>>& titleViews, cairo_t* cr,
                         double scale);

    ImagePainter m_images;
    TextPainter m_text;
    ContentPainter m_content;
    LayerPainter m_layers;
    ChromePainter m_chrome;
    DamageTracker m_damage;
    std::vector<VideoRegion> m_videoRegions;
};

}  // namespace display
