#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/views/image.h"
#include "platform/ui/views/rect.h"

namespace ui {

class BarButtonItem;
class NavigationController;
class SearchBar;

// Where a navigation controller's bar puts its pieces, in window points: the back button at the
// leading edge, the left items after it, the right items from the trailing edge in, the title
// centred in the room between. A screen with a search controller shows its search field in the bar
// itself (the content below is laid out for a bar of one row): after the title where the bar is
// wide enough, else in the title's place; with a Cancel button beside it while the search is
// edited. A bar read right to left is the mirror image: its leading edge is the right one, so the
// back button and the left items sit at the right. The window draws the bar by it, a click goes
// where it says, and a popover anchored on a bar item points at the item's place in it. Main
// thread only.
struct NavigationBarLayout {
    struct Item {
        std::shared_ptr<BarButtonItem> item;
        Rect rect;
        std::shared_ptr<Image> image;  // an item shown as an icon (a system item's symbol)
        std::string title;             // else as its title
        bool bold = false;             // a done item
    };

    // None when the bar is hidden or the navigation shows no controller.
    static std::optional<NavigationBarLayout> of(NavigationController& navigation);
    // Where `item` sits, when the bar shows it.
    std::optional<Rect> frameOf(const BarButtonItem& item) const;
    // The back button's chevron, drawn at its leading end, pointing back: "‹", or "›" right to left.
    static std::string backChevron(bool rightToLeft);

    Rect bar;                              // the row of the items, NavigationController::barHeight high
    double top = 0;                        // where the navigation's view begins: the bar's colour reaches up
    bool rightToLeft = false;              // mirrored: leading is the right edge
    std::optional<Rect> backButton;        // none: the bar shows no back button
    std::string backTitle;                 // the title of the controller below
    std::vector<Item> items;               // left items first, then right items from the trailing edge in
    std::string title;                     // the shown controller's
    Rect titleRoom;                        // the room the title is centred in
    bool showsTitle = true;                // false: the search field took the title's place
    std::shared_ptr<SearchBar> searchBar;  // the shown screen's, if it searches
    std::optional<Rect> searchField;       // where the field shows
    std::optional<Rect> searchCancel;      // its Cancel button, while the search is edited
};

}  // namespace ui
