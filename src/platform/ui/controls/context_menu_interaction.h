#pragma once

#include <memory>
#include <optional>

#include "platform/ui/lists/index_path.h"
#include "platform/ui/views/point.h"

namespace ui {

class CollectionView;
class PresentedMenu;
class View;
class Window;

// The menu a long press or a pointer's secondary click opens on what lies under a point of a
// window: the nearest button that has a menu, else the context menu the delegate of a collection
// view gives for the item there. The menu opens on the window (closing one open before); a
// collection view hears its item's menu close, so the preview it lifted is set down. Main thread
// only.
class ContextMenuInteraction {
public:
    // How long a finger (or a held button of the pointer) rests before the menu opens.
    static constexpr double pressDuration = 0.5;

    // Opens the menu of what lies under `point` (window points); with `location` it shows there
    // (where the pointer is) instead of hanging from what it belongs to. The menu opened, or none
    // when nothing there offers one.
    static std::shared_ptr<PresentedMenu> open(Window& window, Point point, std::optional<Point> location = {});
    // Opens the context menu of `grid`'s item at `indexPath`, pressed at `point` (window points),
    // anchored to `anchor` (the item's cell, or what stands for it).
    static std::shared_ptr<PresentedMenu> openItemMenu(CollectionView& grid, const IndexPath& indexPath, Point point,
                                                       const std::shared_ptr<View>& anchor,
                                                       std::optional<Point> location = {});
};

}  // namespace ui
