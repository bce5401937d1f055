#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/lists/index_path.h"

namespace ui {

class AlertController;
class BarButtonItem;
class ItemListView;
class NavigationController;
class PresentedMenu;
class View;

// One element of a printed screen that the user can act on, behind its handle `#n`.
struct ScreenTarget {
    enum class Kind {
        view,         // a control, a search bar, a list, a view with gesture recognisers
        cell,         // a cell or row of `list` at `indexPath`
        barItem,      // a navigation bar item
        backButton,   // the back button of `navigation`
        alertAction,  // the action `title` of `alert`
        menuEntry,    // the entry `title` of `menu`
    };

    Kind kind = Kind::view;
    std::shared_ptr<View> view;  // also the cell, and a bar item's custom view
    std::shared_ptr<ItemListView> list;
    IndexPath indexPath;
    std::shared_ptr<BarButtonItem> item;
    std::shared_ptr<NavigationController> navigation;  // of a back button or bar item
    std::shared_ptr<AlertController> alert;
    std::shared_ptr<PresentedMenu> menu;
    std::string title;
    // In the window's view tree, so touches reach it by hit-testing (alert fields and bar items
    // are drawn outside it here).
    bool inViewTree = false;

    std::string line;                     // its line on the screen, trimmed
    std::vector<std::string> texts;       // what it shows itself
    std::vector<std::string> innerTexts;  // what views inside it show that no inner target does
    int enclosing = -1;                   // index of the nearest target around it, -1 for none
};

}  // namespace ui
