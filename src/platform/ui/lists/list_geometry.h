#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/lists/index_path.h"
#include "platform/ui/views/rect.h"

namespace ui {

// A boundary view of a section (header or footer) where a layout pass put it.
struct SupplementaryPlacement {
    std::string kind;
    Rect frame;
    bool atTop = true;
    // Stays inside the visible bounds while its section shows (headers at the top, footers at
    // the bottom).
    bool pinned = false;
    int zIndex = 0;
    // Its height is an estimate until the view measures itself.
    bool selfSizing = false;
    // How far a pinned header rises past the visible top (see the boundary item's).
    double pinnedOutset = 0;
};

// A boundary view as it shows now: pinned ones moved into the visible bounds.
struct PlacedSupplementary {
    std::string kind;
    IndexPath indexPath;
    Rect frame;
    int zIndex = 0;
    bool selfSizing = false;
};

// Where one layout pass put the elements of a list: per section its frame, its items in rows
// (a group of the compositional layout, a line of the flow layout, a table row) and its boundary
// views, and the size of the whole content. Sections and rows are stored top to bottom, so the
// elements that meet a rectangle are found by binary search: scrolling a list of any length
// costs the rows it shows, not the list.
class ListGeometry {
public:
    struct Row {
        Rect frame;
        int firstItem = 0;
        int count = 0;
    };
    struct Section {
        Rect frame;
        std::vector<Rect> items;
        std::vector<Row> rows;
        std::vector<SupplementaryPlacement> supplementaries;
        // Item heights are estimates until each cell measures itself.
        bool selfSizingItems = false;
    };

    Size contentSize;
    std::vector<Section> sections;

    int numberOfSections() const { return static_cast<int>(sections.size()); }
    int numberOfItems(int section) const;
    std::optional<Rect> itemFrame(const IndexPath& indexPath) const;
    bool isSelfSizing(const IndexPath& indexPath) const;
    // The items whose frames meet `rect`, in order.
    std::vector<IndexPath> itemsIn(const Rect& rect) const;
    // The item under a point, if any.
    std::optional<IndexPath> itemAt(Point point) const;
    // The boundary views of the sections meeting `rect` whose frames, pinned into `visible`, meet
    // `rect`.
    std::vector<PlacedSupplementary> supplementariesIn(const Rect& rect, const Rect& visible) const;
    // Building, for layouts. A boundary view at `frame`, pinned ones raised above the rows; returns
    // the y below it.
    static double appendBoundary(Section& section, const std::string& kind, const Rect& frame, bool atTop, bool pinned,
                                 bool selfSizing = false);
    // Closes a section that runs from `top` to `bottom` across `width`.
    void appendSection(Section section, double top, double bottom, double width);
    // Every frame turned about the content's vertical centre line, for a list read right to left:
    // the first item of a row at its right end.
    void mirrorHorizontally();

    // Where a boundary view shows when `visible` is what the list shows.
    static Rect pinnedFrame(const SupplementaryPlacement& placement, const Rect& section, const Rect& visible);

private:
    // The first section whose frame reaches below `y`.
    size_t firstSectionReaching(double y) const;
};

}  // namespace ui
