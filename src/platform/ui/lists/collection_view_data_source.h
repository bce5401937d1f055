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

}  // namespace ui
