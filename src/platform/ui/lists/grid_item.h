#pragma once

#include <memory>
#include <optional>

#include "platform/ui/lists/index_path.h"

namespace ui {

class CollectionView;
class CollectionViewCell;
class View;

// An item of a collection view and the grid that shows it.
struct GridItem {
    std::shared_ptr<CollectionView> grid;
    IndexPath indexPath;
    std::shared_ptr<CollectionViewCell> cell;

    // The item `view` is (or lies in), if it is one of a grid's.
    static std::optional<GridItem> of(const std::shared_ptr<View>& view);
};

}  // namespace ui
