#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/lists/index_path.h"
#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/size.h"
#include "platform/ui/views/trait_collection.h"

namespace ui {

// The sizes self-sizing cells and boundary views measured themselves at. A layout uses them in
// place of its estimates; elements never shown keep their estimates.
struct MeasuredSizes {
    std::map<IndexPath, double> itemHeights;
    std::map<std::pair<std::string, int>, double> supplementaryHeights;  // (kind, section)

    std::optional<double> item(const IndexPath& indexPath) const {
        const auto it = itemHeights.find(indexPath);
        return it == itemHeights.end() ? std::nullopt : std::optional<double>(it->second);
    }
    std::optional<double> supplementary(const std::string& kind, int section) const {
        const auto it = supplementaryHeights.find({kind, section});
        return it == supplementaryHeights.end() ? std::nullopt : std::optional<double>(it->second);
    }
};

// What a layout pass is given: the list's real size, insets and traits, its counts, and the
// measured sizes.
struct ListLayoutContext {
    Size containerSize;
    // The content inset plus the safe area; the content is laid out inside it.
    EdgeInsets contentInset;
    TraitCollection traits;
    std::vector<int> itemCounts;
    const MeasuredSizes* measured = nullptr;
    // The list's layout margins: inset-grouped sections keep their rows inside them.
    EdgeInsets layoutMargins;

    // The container less its content inset, as a section provider sees it.
    Size effectiveContentSize() const {
        return {std::max(0.0, containerSize.width - contentInset.left - contentInset.right),
                std::max(0.0, containerSize.height - contentInset.top - contentInset.bottom)};
    }
    std::optional<double> measuredItem(const IndexPath& indexPath) const {
        return measured ? measured->item(indexPath) : std::nullopt;
    }
    std::optional<double> measuredSupplementary(const std::string& kind, int section) const {
        return measured ? measured->supplementary(kind, section) : std::nullopt;
    }
};

}  // namespace ui
