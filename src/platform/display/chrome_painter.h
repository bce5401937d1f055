#pragma once

#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/ui/views/rect.h"

namespace ui {
class NavigationController;
class Window;
}  // namespace ui

namespace display {

class ImagePainter;
class TextPainter;

// Where an element the window draws outside its views lies, in window points, with its handle
// on the printed screen (`#n`, ui::TextScreen), through which a click on it acts.
struct ChromeTarget {
    ui::Rect rect;
    int handle = 0;
};

// What the UI layer keeps outside the view tree, drawn over the views: each navigation
// controller's bar (back button, title, bar items), alerts and action sheets, and the open menu.
// Main thread (the painter's).
class ChromePainter {
public:
    struct Result {
        std::vector<ChromeTarget> targets;  // top-most last
        bool modal = false;                 // an alert shows: touches elsewhere do nothing
        std::vector<ui::Rect> menuRects;    // the open menu (a touch outside closes it)
    };
    static constexpr double barHeight = 44;

    ChromePainter(ImagePainter& images, TextPainter& text) : m_images(images), m_text(text) {}

    // `cr`'s user space is the window's, in points.
    Result paint(cairo_t* cr, ui::Window& window, double scale);

private:
    void paintBar(cairo_t* cr, ui::NavigationController& navigation, const ui::Rect& bar, double scale);
    void paintAlerts(cairo_t* cr, ui::Window& window, double scale);
    void paintMenu(cairo_t* cr, ui::Window& window, double scale);
    void addTarget(const ui::Rect& rect, int handle);

    ImagePainter& m_images;
    TextPainter& m_text;
    Result m_result;
    std::vector<std::pair<const void*, ui::Rect>> m_itemRects;  // bar items and anchors, for menus
    struct Handles;
    const Handles* m_handles = nullptr;
};

}  // namespace display
