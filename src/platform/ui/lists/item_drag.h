#pragma once

#include <memory>
#include <optional>

#include "platform/ui/lists/grid_item.h"
#include "platform/ui/views/point.h"

namespace ui {

class DragSession;
class Window;

// An item carried by a pointer (or a finger) across a window: lifted where it lies (it dims),
// offered to what lies under the pointer as it moves (a folder that would take it shows
// highlighted), dropped on the item or grid under the pointer when that takes it, else set
// down where it was with nothing moved. Main thread only.
class ItemDrag {
public:
    // Lifts the item under `point`; none when nothing there is an item whose grid lets it drag.
    static std::unique_ptr<ItemDrag> lift(Window& window, Point point);
    // Sets the lifted item down (and any highlighted destination back).
    ~ItemDrag();
    ItemDrag(const ItemDrag&) = delete;
    ItemDrag& operator=(const ItemDrag&) = delete;

    void move(Point point);
    // Drops the item at `point`: true when what lies there took it.
    bool drop(Point point);

private:
    struct Destination {
        std::shared_ptr<CollectionView> grid;
        std::optional<IndexPath> indexPath;
    };
    ItemDrag(std::shared_ptr<Window> window, GridItem source, std::shared_ptr<DragSession> session);
    // The grid (and its item, if over one) under `point`; none over what takes no drop, or the
    // item over itself.
    std::optional<Destination> destinationAt(Point point) const;
    void highlight(const std::shared_ptr<CollectionViewCell>& cell);

    std::shared_ptr<Window> m_window;
    GridItem m_source;
    std::shared_ptr<DragSession> m_session;
    double m_sourceAlpha;
    std::shared_ptr<CollectionViewCell> m_highlighted;
};

}  // namespace ui
