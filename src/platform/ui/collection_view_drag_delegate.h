#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/context_menu_configuration.h"
#include "platform/ui/drag_session.h"
#include "platform/ui/index_path.h"
#include "platform/ui/point.h"

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
