#include "platform/ui/lists/grid_item.h"

#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_cell.h"

namespace ui {

std::optional<GridItem> GridItem::of(const std::shared_ptr<View>& view) {
    for (auto at = view; at; at = at->superview()) {
        auto cell = std::dynamic_pointer_cast<CollectionViewCell>(at);
        if (!cell) continue;
        for (auto outer = cell->superview(); outer; outer = outer->superview()) {
            auto grid = std::dynamic_pointer_cast<CollectionView>(outer);
            if (!grid) continue;
            auto indexPath = grid->indexPathFor(*cell);
            if (!indexPath) return std::nullopt;
            return GridItem{grid, *indexPath, cell};
        }
        return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace ui
