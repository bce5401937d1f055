#pragma once

// Looking at one screen in a real window as a person does, from its pixels and its view tree:
// - every visible control, label with text and image draws something of its own: its pixels
//   change when it alone is made transparent;
// - no two texts are drawn over each other;
// - every system symbol on the screen has a drawing of its own;
// - a click at the centre of each element a person can act on reaches that element, and no
//   element the window draws over it (a bar, a menu, an alert) takes it first;
// - a presented sheet or picker covers what lies under it: its pixels do not change when what
//   it covers is made transparent;
// - an open menu lets nothing of what lies under it through sharp: no faint text or edges of the
//   screen under it show in its rows.
// Each finding is a line naming the screen and the element.

#include <memory>
#include <string>
#include <vector>

#include "platform/graphics/image.h"
#include "platform/ui/views/rect.h"

namespace display {
class DisplayHost;
}
namespace ui {
class View;
class Window;
}  // namespace ui

namespace window_gallery {

class Inspection {
public:
    Inspection(display::DisplayHost& display, std::shared_ptr<ui::Window> window)
        : m_display(display), m_window(std::move(window)) {}

    // Whether the window shows what it showed when last asked (a video's newest frame, an
    // animation's last step): what is compared must hold still.
    bool still();
    // Looks at the screen the window shows now; what is wrong is added to `findings`.
    void inspect(const std::string& screen);

    const std::vector<std::string>& findings() const { return m_findings; }
    // How many pixels of `rect` (window points) differ between the two pictures of the window.
    long changedPixels(const gfx::Image& a, const gfx::Image& b, const ui::Rect& rect) const;

private:
    struct Element {
        std::shared_ptr<ui::View> view;
        ui::Rect visible;  // in window points: what its clipping ancestors and the window leave of it
        std::string name;
        bool shows;  // a control, a label with text or an image: it must draw something
    };
    // The view whose subtree a person sees on top: the last presented controller's, else the
    // window's.
    std::shared_ptr<ui::View> topLayer() const;
    // An alert or an open menu is drawn over every view and takes every click.
    bool overlayShown() const;
    // Whether a view of its own list (a pinned header) lies over the element's centre.
    bool coveredInItsList(const Element& element) const;
    // The visible views of the layer, at least half in view and not under their list's header.
    std::vector<Element> elements(const std::shared_ptr<ui::View>& top) const;
    void checkInk(const std::string& screen, const std::vector<Element>& elements);
    void checkTexts(const std::string& screen, const std::vector<Element>& elements);
    void checkSymbols(const std::string& screen);
    void checkClicks(const std::string& screen, const std::shared_ptr<ui::View>& top,
                     const std::vector<Element>& elements);
    void checkCover(const std::string& screen, const std::shared_ptr<ui::View>& top);
    void checkMenuBackdrop(const std::string& screen);
    struct PixelBox {
        int left, top, right, bottom;  // right and bottom exclusive
    };
    PixelBox pixelBox(const gfx::Image& image, const ui::Rect& rect) const;
    // Where the picture steps sharply from one pixel to the next along its rows: by more than
    // `step` (the three channels' differences summed).
    long edges(const gfx::Image& image, const ui::Rect& rect, int step = 45) const;
    gfx::Image captureWithout(const std::shared_ptr<ui::View>& view);

    display::DisplayHost& m_display;
    std::shared_ptr<ui::Window> m_window;
    gfx::Image m_shown;
    std::vector<std::string> m_findings;
};

}  // namespace window_gallery
