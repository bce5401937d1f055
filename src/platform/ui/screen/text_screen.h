#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/screen/screen_target.h"
#include "platform/ui/screen/view_description.h"
#include "platform/ui/views/rect.h"

namespace ui {

class AlertController;
class BarButtonItem;
class NavigationController;
class PresentedMenu;
class View;
class ViewController;
class Window;

// A window printed as text, as a person would read the screen: one line per visible view with
// its kind, frame in window points and what it shows; the navigation bar of each navigation
// controller with its title, items and search bar; alerts, popovers with their anchors, and the
// open menu on top. Hidden, transparent and off-screen subtrees collapse to one line. Every
// element the user can act on gets a handle `#n`, numbered in print order, so the same screen
// always prints the same handles. Main thread only.
//
//   Window 390x844
//     View 0,0 390x844 <NavigationController>
//       NavigationBar "Library"
//         BarButtonItem #1 "Edit"
//       View 0,0 390x844 <ViewController>
//         Button #2 16,100 80x44 "Play"
class TextScreen {
public:
    static TextScreen capture(Window& window);

    const std::string& text() const { return m_text; }
    // Handle `#n` is `targets()[n - 1]`.
    const std::vector<ScreenTarget>& targets() const { return m_targets; }

private:
    TextScreen() = default;

    // `clip` is what the clipping views around it leave visible, in window points.
    void printView(const std::shared_ptr<View>& view, int depth, int enclosing, const Rect& clip);
    void printNavigationBar(NavigationController& navigation, int depth, int enclosing);
    void printBarItem(const std::shared_ptr<BarButtonItem>& item,
                      const std::shared_ptr<NavigationController>& navigation, const std::string& side, int depth,
                      int enclosing);
    void printAlert(const std::shared_ptr<AlertController>& alert, int depth);
    void printMenu(const std::shared_ptr<PresentedMenu>& menu, int depth);
    std::string popoverAnchor(ViewController& controller) const;
    // Writes a line; a target gets the next handle, written after the kind.
    int emit(int depth, const std::string& kind, const std::string& rest, ScreenTarget* target, int enclosing);
    void addInnerTexts(int enclosing, const std::vector<std::string>& texts);

    std::string m_text;
    std::vector<ScreenTarget> m_targets;
    std::map<const void*, int> m_handles;  // view or bar item -> handle, for popover anchors
    const Window* m_window = nullptr;
};

}  // namespace ui
