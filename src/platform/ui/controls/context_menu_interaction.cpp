#include "platform/ui/controls/context_menu_interaction.h"

#include "platform/ui/controls/button.h"
#include "platform/ui/controls/context_menu_configuration.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/lists/grid_item.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {

std::shared_ptr<PresentedMenu> placed(Window& window, std::optional<Point> location) {
    auto menu = window.presentedMenu();
    if (menu) menu->setLocation(location);
    return menu;
}

}  // namespace

std::shared_ptr<PresentedMenu> ContextMenuInteraction::open(Window& window, Point point,
                                                            std::optional<Point> location) {
    checkMainThread();
    for (auto view = window.hitTest(point); view; view = view->superview()) {
        if (auto button = std::dynamic_pointer_cast<Button>(view); button && button->menu()) {
            return button->showMenu() ? placed(window, location) : nullptr;
        }
        if (!std::dynamic_pointer_cast<CollectionViewCell>(view)) continue;
        if (auto item = GridItem::of(view))
            return openItemMenu(*item->grid, item->indexPath, point, item->cell, location);
    }
    return nullptr;
}

std::shared_ptr<PresentedMenu> ContextMenuInteraction::openItemMenu(CollectionView& grid, const IndexPath& indexPath,
                                                                    Point point, const std::shared_ptr<View>& anchor,
                                                                    std::optional<Point> location) {
    checkMainThread();
    auto window = grid.window();
    if (!window) return nullptr;
    auto configuration = grid.contextMenu(indexPath, grid.convertFromWindow(point));
    auto menu = configuration ? configuration->makeMenu() : nullptr;
    if (!menu) return nullptr;
    window->presentMenu(menu, anchor);
    auto presented = placed(*window, location);
    if (!presented) return nullptr;
    // Closing the menu sets the lifted preview down, as the system asks for it then.
    std::weak_ptr<CollectionView> weakGrid = grid.sharedAs<CollectionView>();
    presented->onClose = [closeMenu = presented->onClose, weakGrid, configuration](PresentedMenu& closed) {
        if (closeMenu) closeMenu(closed);
        if (auto owner = weakGrid.lock()) owner->endContextMenu(*configuration);
    };
    return presented;
}

}  // namespace ui
