#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "platform/ui/lists/index_path.h"

namespace ui {

// What applying a snapshot changed: items deleted (old positions), inserted (new positions),
// moved (old -> new; only items whose order relative to the others changed) and reloaded (new
// positions).
struct SnapshotDifference {
    std::vector<IndexPath> deleted;
    std::vector<IndexPath> inserted;
    std::vector<std::pair<IndexPath, IndexPath>> moved;
    std::vector<IndexPath> reloaded;

    bool empty() const { return deleted.empty() && inserted.empty() && moved.empty() && reloaded.empty(); }

    // From the old items in order with where each went (none: deleted), and the new items in
    // order with whether each existed before.
    static SnapshotDifference compute(const std::vector<std::pair<IndexPath, std::optional<IndexPath>>>& oldItems,
                                      const std::vector<std::pair<IndexPath, bool>>& newItems);
};

}  // namespace ui
