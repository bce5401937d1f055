#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controls/context_menu_configuration.h"
#include "platform/ui/controls/targeted_preview.h"
#include "platform/ui/lists/drag_session.h"
#include "platform/ui/lists/index_path.h"
#include "platform/ui/views/point.h"

namespace ui {

class CollectionReusableView;
class CollectionView;
class CollectionViewCell;

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
    // The view lifted while the menu opens and while it closes; none: the whole cell.
    virtual std::shared_ptr<TargetedPreview> previewForHighlightingContextMenu(
        CollectionView& /*view*/, const ContextMenuConfiguration& /*configuration*/) {
        return nullptr;
    }
    virtual std::shared_ptr<TargetedPreview> previewForDismissingContextMenu(
        CollectionView& /*view*/, const ContextMenuConfiguration& /*configuration*/) {
        return nullptr;
    }
};

}  // namespace ui
