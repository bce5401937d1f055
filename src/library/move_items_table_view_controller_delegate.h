#pragma once

#include <vector>

#include "core/folder.h"
#include "core/library_item.h"

namespace reelhaven {

// Hears the move sheet's choice (held weakly). The items are those the sheet was given: the
// receiver finds where each one is in the manager's list when it moves them, so items added or
// removed while the sheet was up never shift the move onto a neighbour.
class MoveItemsTableViewControllerDelegate {
public:
    virtual ~MoveItemsTableViewControllerDelegate() = default;
    // `toParent`: the destination is the folder above the one the items are in.
    virtual void moveItems(const std::vector<LibraryItemPtr>& items, const FolderPtr& destination, bool toParent) = 0;
};

}  // namespace reelhaven
