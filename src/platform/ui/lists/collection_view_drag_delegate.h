#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controls/context_menu_configuration.h"
#include "platform/ui/lists/drag_session.h"
#include "platform/ui/lists/index_path.h"
#include "platform/ui/views/point.h"

namespace ui {

class CollectionReusableView;
class CollectionView;
class CollectionViewCell;

// Starts drags from items (held weakly).
class CollectionViewDragDelegate {
public:
    virtual ~CollectionViewDragDelegate() = default;
    virtual std::vector<DragItem> itemsForBeginning(CollectionView& view, DragSession& session,
                                                    const IndexPath& indexPath) = 0;
};

}  // namespace ui
