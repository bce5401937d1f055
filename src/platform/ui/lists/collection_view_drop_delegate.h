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

// What a drop tells its target when it lands.
struct DropCoordinator {
    std::shared_ptr<DragSession> session;
    std::optional<IndexPath> destinationIndexPath;
    DropProposal proposal;
};

// Takes drops (held weakly).
class CollectionViewDropDelegate {
public:
    virtual ~CollectionViewDropDelegate() = default;
    virtual bool canHandle(CollectionView& /*view*/, DragSession& /*session*/) { return true; }
    virtual DropProposal dropSessionDidUpdate(CollectionView& view, DragSession& session,
                                              const std::optional<IndexPath>& destination) = 0;
    virtual void performDrop(CollectionView& view, const DropCoordinator& coordinator) = 0;
};

}  // namespace ui
