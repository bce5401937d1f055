#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controls/context_menu_configuration.h"
#include "platform/ui/controls/preview_parameters.h"
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
    // How the lifted cell is drawn; none: the whole cell.
    virtual std::optional<PreviewParameters> dragPreviewParameters(CollectionView& /*view*/,
                                                                   const IndexPath& /*indexPath*/) {
        return std::nullopt;
    }
    // False makes every drop of the session a copy.
    virtual bool dragSessionAllowsMoveOperation(CollectionView& /*view*/, DragSession& /*session*/) { return true; }
};

}  // namespace ui
