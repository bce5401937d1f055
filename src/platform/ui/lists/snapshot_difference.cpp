#include "platform/ui/lists/snapshot_difference.h"

#include <algorithm>

namespace ui {

namespace {

// Indices (into `sequence`) of one longest strictly increasing subsequence.
std::vector<size_t> longestIncreasing(const std::vector<IndexPath>& sequence) {
    std::vector<size_t> tails;  // index of the smallest tail of each length
    std::vector<long> previous(sequence.size(), -1);
    for (size_t i = 0; i < sequence.size(); ++i) {
        const auto it = std::lower_bound(tails.begin(), tails.end(), sequence[i],
                                         [&](size_t index, const IndexPath& value) { return sequence[index] < value; });
        if (it != tails.begin()) previous[i] = static_cast<long>(*(it - 1));
        if (it == tails.end()) {
            tails.push_back(i);
        } else {
            *it = i;
        }
    }
    std::vector<size_t> result;
    for (long i = tails.empty() ? -1 : static_cast<long>(tails.back()); i >= 0; i = previous[static_cast<size_t>(i)])
        result.push_back(static_cast<size_t>(i));
    std::reverse(result.begin(), result.end());
    return result;
}

}  // namespace

SnapshotDifference SnapshotDifference::compute(
    const std::vector<std::pair<IndexPath, std::optional<IndexPath>>>& oldItems,
    const std::vector<std::pair<IndexPath, bool>>& newItems) {
    SnapshotDifference difference;
    std::vector<std::pair<IndexPath, IndexPath>> kept;
    for (const auto& [from, to] : oldItems) {
        if (to) {
            kept.emplace_back(from, *to);
        } else {
            difference.deleted.push_back(from);
        }
    }
    for (const auto& [path, existed] : newItems) {
        if (!existed) difference.inserted.push_back(path);
    }
    std::vector<IndexPath> targets;
    for (const auto& pair : kept) targets.push_back(pair.second);
    const auto stay = longestIncreasing(targets);
    std::vector<bool> stays(kept.size(), false);
    for (auto index : stay) stays[index] = true;
    for (size_t i = 0; i < kept.size(); ++i) {
        if (!stays[i]) difference.moved.push_back(kept[i]);
    }
    return difference;
}

}  // namespace ui
