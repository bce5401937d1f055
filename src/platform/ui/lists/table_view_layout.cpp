#include "platform/ui/lists/table_view_layout.h"

#include <algorithm>

#include "platform/ui/lists/list_layout_configuration.h"

namespace ui {

ListGeometry TableViewLayout::prepare(const ListLayoutContext& context) const {
    ListGeometry geometry;
    const double width = context.effectiveContentSize().width;
    const EdgeInsets sides = insetsRows ? ListMetrics::insetGroupedSides(context.layoutMargins) : EdgeInsets{};
    const double rowWidth = std::max(0.0, width - sides.left - sides.right);
    double y = 0;
    for (int s = 0; s < static_cast<int>(context.itemCounts.size()); ++s) {
        ListGeometry::Section section;
        const double top = y;
        // Headers and footers span the rows' width, so their titles line up with the rows' text.
        if (const double height = headerHeight ? headerHeight(s) : 0; height > 0)
            y = ListGeometry::appendBoundary(section, elementKindSectionHeader, Rect(sides.left, y, rowWidth, height),
                                             true, pinsHeaders);
        const int rows = context.itemCounts[static_cast<size_t>(s)];
        section.items.reserve(static_cast<size_t>(rows));
        section.rows.reserve(static_cast<size_t>(rows));
        for (int r = 0; r < rows; ++r) {
            const double height = rowHeight ? std::max(0.0, rowHeight({s, r})) : 0;
            const Rect frame(sides.left, y, rowWidth, height);
            section.items.push_back(frame);
            section.rows.push_back({frame, r, 1});
            y += height;
        }
        if (const double height = footerHeight ? footerHeight(s) : 0; height > 0)
            y = ListGeometry::appendBoundary(section, elementKindSectionFooter, Rect(sides.left, y, rowWidth, height),
                                             false, false);
        geometry.appendSection(std::move(section), top, y, width);
    }
    geometry.contentSize = {width, y + std::max(0.0, trailingHeight)};
    return geometry;
}

}  // namespace ui
