#pragma once

#include <compare>
#include <cstddef>
#include <functional>

namespace ui {

// An item (or row) in a section.
struct IndexPath {
    int section = 0;
    int item = 0;

    static IndexPath forRow(int row, int section) { return {section, row}; }
    int row() const { return item; }
    auto operator<=>(const IndexPath&) const = default;
};

}  // namespace ui

template <>
struct std::hash<ui::IndexPath> {
    size_t operator()(const ui::IndexPath& p) const noexcept {
        return std::hash<long long>()((static_cast<long long>(p.section) << 32) ^ static_cast<unsigned>(p.item));
    }
};
