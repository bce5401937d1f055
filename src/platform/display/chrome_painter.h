#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/display/cairo_surface.h"
#include "platform/ui/gestures/click_runs.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/rect.h"

namespace ui {
class AlertController;
class Layer;
class NavigationController;
struct NavigationBarLayout;
class PresentedMenu;
class View;
class Window;
}  // namespace ui

namespace display {

class ChromeDrawing;
class ImagePainter;
class LayerCache;
class TextPainter;

// Where an element the window draws outside its views lies, in window points, with its handle
// on the printed screen (`#n`, ui::TextScreen), through which a click on it acts.
struct ChromeTarget {
    ui::Rect rect;
    int handle = 0;
    // What a click does when the printed screen's driver has no touch for it (a search field
    // drawn in the bar); none: the driver taps the handle.
    std::function<void()> action;
    // False under a popover: a click there goes to the window's touch path, which dismisses it.
    bool takesClicks = true;
    // A field's text drawn here: a press (`clicks` in a row, from 1) begins editing it and places
    // its caret or selects a word; a move of the held button (`clicks` 0) selects. It takes the
    // click in place of `action`.
    std::function<void(ui::Point at, int clicks)> textPointer;
    // The pointer's run of clicks when what it belongs to (its menu, alert or screen) last
    // appeared, read as a press comes: no press of that run lands on it. None: any press does.
    std::function<ui::ClickRuns::Stamp()> shownAt;
    // Whether a press of the pointer's run now may land here.
    bool mayTake() const { return !shownAt || ui::ClickRuns::mayTake(shownAt()); }
    // What a press here holds, whatever its handle becomes as the screen changes under the held
    // button: the element itself (a bar item, the screen a back button leaves, an alert's action,
    // a menu's entry, a field) and which of its parts (a search field's text or its Cancel).
    std::weak_ptr<const void> element;
    int part = 0;
    // Whether both are the same element, still there.
    bool isSameElement(const ChromeTarget& other) const {
        const auto mine = element.lock();
        return mine && mine == other.element.lock() && part == other.part;
    }
};

// What the UI layer keeps outside the view tree, drawn over the views: each navigation
// controller's bar (back button, title, bar items), alerts and action sheets, and the open menu.
// Each bar, alert and menu is laid out into a ChromeDrawing first and drawn through the layer
// cache under that drawing's fingerprint, so an unchanged piece composites its bitmap; the
// targets come from the layout, drawn or not. Main thread (the painter's).
class ChromePainter {
public:
    struct Result {
        std::vector<ChromeTarget> targets;  // top-most last
        bool modal = false;                 // an alert shows: touches elsewhere do nothing
        std::vector<ui::Rect> menuRects;    // the open menu (a touch outside closes it)
        // The title views of the bars drawn: views, painted over their bars by the view painter.
        std::vector<std::shared_ptr<ui::View>> titleViews;
        // Each bar, alert and menu: where it draws, in window points, and a fingerprint of what.
        struct Piece {
            const ui::Layer* owner;
            int part;
            ui::Rect rect;
            std::uint64_t key;
            bool blurred;  // shows what lies under it, blurred
        };
        std::vector<Piece> pieces;
    };

    ChromePainter(ImagePainter& images, TextPainter& text, LayerCache& cache)
        : m_images(images), m_text(text), m_cache(cache) {}

    // `cr`'s user space is the window's, in points. The element with handle `highlighted` (held
    // down; 0: none) shows pressed. Without `cr` the pieces are laid out and nothing is drawn.
    Result paint(cairo_t* cr, ui::Window& window, double scale, int highlighted = 0);
    // Pieces drawn so far (kept bitmaps composited instead do not count).
    std::uint64_t draws() const { return m_draws; }

private:
    // The parts of a layer's cache entries the chrome keeps its pieces under (0 is the layer's own).
    enum class Part { bar = 1, alert, menu };

    void paintBar(cairo_t* cr, ui::NavigationController& navigation, const ui::NavigationBarLayout& layout,
                  double scale);
    // Alerts, by step: where each lies, its title, message and fields, then its actions.
    struct AlertLayout;
    void paintAlerts(cairo_t* cr, ui::Window& window, double scale);
    static AlertLayout layoutAlert(const ui::AlertController& alert, const ui::Window& window);
    void paintAlertHeader(ChromeDrawing& drawing, const ui::AlertController& alert, const ui::View& view,
                          const AlertLayout& layout);
    void paintAlertActions(ChromeDrawing& drawing, const ui::AlertController& alert, const ui::View& view,
                           const AlertLayout& layout);
    // The open menu, by step: what it hangs from, where it lies, then its title and entries.
    void paintMenu(cairo_t* cr, ui::Window& window, double scale);
    ui::Rect menuAnchor(const ui::PresentedMenu& menu, const ui::Window& window) const;
    void paintMenuEntries(ChromeDrawing& drawing, const ui::PresentedMenu& menu, const ui::Rect& box, bool rightToLeft);
    // Where a piece draws, and whether it blurs what lies under it.
    struct Area {
        ui::Rect rect;
        bool blurred;
    };
    // Draws `drawing` through the cache, kept as `owner`'s `part`, and records it as a piece.
    void draw(cairo_t* cr, const ui::Layer& owner, Part part, const ChromeDrawing& drawing, double scale, Area area);
    void addTarget(const ui::Rect& rect, int handle, std::weak_ptr<const void> element);
    // The targets from `first` on belong to `surface` (a menu or a controller), and take no
    // press of the run of clicks it appeared in.
    template <typename Surface>
    void belongTo(size_t first, const std::shared_ptr<Surface>& surface);
    void paintBackButton(ChromeDrawing& drawing, const ui::NavigationBarLayout& layout, const ui::Color& color);
    void paintSearchField(ChromeDrawing& drawing, const ui::NavigationBarLayout& layout, const ui::Color& tint);
    bool isHighlighted(int handle) const { return handle > 0 && handle == m_highlighted; }

    ImagePainter& m_images;
    TextPainter& m_text;
    LayerCache& m_cache;
    Result m_result;
    std::vector<std::pair<const void*, ui::Rect>> m_itemRects;  // bar items and anchors, for menus
    struct Handles;
    const Handles* m_handles = nullptr;
    int m_highlighted = 0;
    std::uint64_t m_draws = 0;
};

}  // namespace display
