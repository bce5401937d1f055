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

// Supplies a collection view's items (held weakly by it).
class CollectionViewDataSource {
public:
    virtual ~CollectionViewDataSource() = default;
    virtual int numberOfSections(CollectionView& /*view*/) { return 1; }
    virtual int numberOfItems(CollectionView& view, int section) = 0;
    virtual std::shared_ptr<CollectionViewCell> cellForItem(CollectionView& view, const IndexPath& indexPath) = 0;
    virtual std::shared_ptr<CollectionReusableView> supplementaryView(CollectionView& /*view*/,
                                                                      const std::string& /*kind*/,
                                                                      const IndexPath& /*indexPath*/) {
        return nullptr;
    }
};

// Hears a collection view's selection, display and context-menu questions (held weakly).
class CollectionViewDelegate {
public:
    virtual ~CollectionViewDelegate() = default;
    virtual bool shouldSelectItem(CollectionView& /*view*/, const IndexPath& /*indexPath*/) { return true; }
    virtual void didSelectItem(CollectionView& /*view*/, const IndexPath& /*indexPath*/) {}
    virtual bool shouldDeselectItem(CollectionView& /*view*/, const IndexPath& /*indexPath*/) { return true; }
    virtual void didDeselectItem(CollectionView& /*view*/, const IndexPath& /*indexPath*/) {}
    virtual void willDisplayCell(CollectionView& /*view*/, CollectionViewCell& /*cell*/, const IndexPath& /*path*/) {}
    virtual void didEndDisplayingCell(CollectionView& /*view*/, CollectionViewCell& /*cell*/,
                                      const IndexPath& /*path*/) {}
    virtual std::shared_ptr<ContextMenuConfiguration> contextMenuConfiguration(CollectionView& /*view*/,
                                                                               const std::vector<IndexPath>& /*items*/,
                                                                               Point /*point*/) {
        return nullptr;
    }
};

// Starts drags from items (held weakly).
class CollectionViewDragDelegate {
public:
    virtual ~CollectionViewDragDelegate() = default;
    virtual std::vector<DragItem> itemsForBeginning(CollectionView& view, DragSession& session,
                                                    const IndexPath& indexPath) = 0;
};

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
