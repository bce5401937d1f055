#include "platform/ui/lists/flow_layout.h"

#include <algorithm>

#include "platform/ui/lists/element_kind.h"

namespace ui {

namespace {

// Places one line of items between `first` and `end` (exclusive) at `y` and returns its height.
double placeLine(ListGeometry::Section& out, const std::vector<Size>& sizes, int first, int end, double y, double left,
                 double width, double minimumSpacing) {
    double used = 0;
    double height = 0;
    for (int i = first; i < end; ++i) {
        used += sizes[static_cast<size_t>(i)].width;
        height = std::max(height, sizes[static_cast<size_t>(i)].height);
    }
    const int count = end - first;
    const double spacing = count > 1 ? std::max(minimumSpacing, (width - used) / (count - 1)) : 0;
    double x = count > 1 ? left : left + std::max(0.0, (width - used) / 2);
    for (int i = first; i < end; ++i) {
        const Size size = sizes[static_cast<size_t>(i)];
        out.items.push_back(Rect(x, y + (height - size.height) / 2, size.width, size.height));
        x += size.width + spacing;
    }
    out.rows.push_back({Rect(left, y, width, height), first, count});
    return height;
}

}  // namespace

ListGeometry FlowLayout::prepare(const ListLayoutContext& context) const {
    ListGeometry geometry;
    const double containerWidth = context.effectiveContentSize().width;
    const double left = sectionInset.left;
    const double width = std::max(0.0, containerWidth - sectionInset.left - sectionInset.right);
    double y = 0;
    for (int s = 0; s < static_cast<int>(context.itemCounts.size()); ++s) {
        ListGeometry::Section section;
        const double top = y;
        if (headerReferenceHeight > 0) {
            section.supplementaries.push_back(
                {elementKindSectionHeader, Rect(0, y, containerWidth, headerReferenceHeight), true,
                 sectionHeadersPinToVisibleBounds, sectionHeadersPinToVisibleBounds ? 1 : 0, false});
            y += headerReferenceHeight;
        }
        y += sectionInset.top;
        const int count = context.itemCounts[static_cast<size_t>(s)];
        std::vector<Size> sizes;
        sizes.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) sizes.push_back(sizeForItem ? sizeForItem({s, i}) : itemSize);
        for (int first = 0; first < count;) {
            // As many items as fit with the minimum spacing; always at least one.
            int end = first + 1;
            double used = sizes[static_cast<size_t>(first)].width;
            while (end < count && used + minimumInteritemSpacing + sizes[static_cast<size_t>(end)].width <= width) {
                used += minimumInteritemSpacing + sizes[static_cast<size_t>(end)].width;
                ++end;
            }
            if (first > 0) y += minimumLineSpacing;
            y += placeLine(section, sizes, first, end, y, left, width, minimumInteritemSpacing);
            first = end;
        }
        y += sectionInset.bottom;
        if (footerReferenceHeight > 0) {
            y = ListGeometry::appendBoundary(section, elementKindSectionFooter,
                                             Rect(0, y, containerWidth, footerReferenceHeight), false, false);
        }
        geometry.appendSection(std::move(section), top, y, containerWidth);
    }
    geometry.contentSize = {containerWidth, y};
    return geometry;
}

}  // namespace ui
