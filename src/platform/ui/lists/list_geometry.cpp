#include "platform/ui/lists/list_geometry.h"

#include <algorithm>

namespace ui {

namespace {

bool overlap(double aMin, double aMax, double bMin, double bMax) {
    const double low = std::max(aMin, bMin);
    const double high = std::min(aMax, bMax);
    // An empty extent on the edge of another still meets it (a zero-height header at the top).
    return low < high || (low == high && (aMin == aMax || bMin == bMax));
}

bool meets(const Rect& a, const Rect& b) {
    return overlap(a.minX(), a.maxX(), b.minX(), b.maxX()) && overlap(a.minY(), a.maxY(), b.minY(), b.maxY());
}

}  // namespace

int ListGeometry::numberOfItems(int section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return static_cast<int>(sections[static_cast<size_t>(section)].items.size());
}

std::optional<Rect> ListGeometry::itemFrame(const IndexPath& indexPath) const {
    if (indexPath.item < 0 || indexPath.item >= numberOfItems(indexPath.section)) return std::nullopt;
    return sections[static_cast<size_t>(indexPath.section)].items[static_cast<size_t>(indexPath.item)];
}

bool ListGeometry::isSelfSizing(const IndexPath& indexPath) const {
    return indexPath.section >= 0 && indexPath.section < numberOfSections() &&
           sections[static_cast<size_t>(indexPath.section)].selfSizingItems;
}

size_t ListGeometry::firstSectionReaching(double y) const {
    const auto it =
        std::partition_point(sections.begin(), sections.end(), [y](const Section& s) { return s.frame.maxY() < y; });
    return static_cast<size_t>(it - sections.begin());
}

std::vector<IndexPath> ListGeometry::itemsIn(const Rect& rect) const {
    std::vector<IndexPath> found;
    for (size_t s = firstSectionReaching(rect.minY()); s < sections.size(); ++s) {
        const auto& section = sections[s];
        if (section.frame.minY() > rect.maxY()) break;
        auto row = std::partition_point(section.rows.begin(), section.rows.end(),
                                        [&](const Row& r) { return r.frame.maxY() < rect.minY(); });
        for (; row != section.rows.end() && row->frame.minY() <= rect.maxY(); ++row) {
            for (int i = row->firstItem; i < row->firstItem + row->count; ++i) {
                if (meets(section.items[static_cast<size_t>(i)], rect)) found.push_back({static_cast<int>(s), i});
            }
        }
    }
    return found;
}

std::optional<IndexPath> ListGeometry::itemAt(Point point) const {
    for (const auto& indexPath : itemsIn(Rect(point.x, point.y, 0, 0))) {
        if (itemFrame(indexPath)->contains(point)) return indexPath;
    }
    return std::nullopt;
}

double ListGeometry::appendBoundary(Section& section, const std::string& kind, const Rect& frame, bool atTop,
                                    bool pinned, bool selfSizing) {
    section.supplementaries.push_back({kind, frame, atTop, pinned, pinned ? 1 : 0, selfSizing});
    return frame.maxY();
}

void ListGeometry::appendSection(Section section, double top, double bottom, double width) {
    section.frame = Rect(0, top, width, bottom - top);
    sections.push_back(std::move(section));
    contentSize = {width, bottom};
}

Rect ListGeometry::pinnedFrame(const SupplementaryPlacement& placement, const Rect& section, const Rect& visible) {
    if (!placement.pinned) return placement.frame;
    Rect frame = placement.frame;
    if (placement.atTop) {
        frame.origin.y =
            std::min(std::max(frame.minY(), visible.minY() - placement.pinnedOutset), section.maxY() - frame.height());
    } else {
        frame.origin.y = std::max(std::min(frame.minY(), visible.maxY() - frame.height()), section.minY());
    }
    return frame;
}

std::vector<PlacedSupplementary> ListGeometry::supplementariesIn(const Rect& rect, const Rect& visible) const {
    std::vector<PlacedSupplementary> found;
    for (size_t s = firstSectionReaching(rect.minY()); s < sections.size(); ++s) {
        const auto& section = sections[s];
        if (section.frame.minY() > rect.maxY()) break;
        for (const auto& placement : section.supplementaries) {
            const Rect frame = pinnedFrame(placement, section.frame, visible);
            if (meets(frame, rect))
                found.push_back(
                    {placement.kind, IndexPath{static_cast<int>(s), 0}, frame, placement.zIndex, placement.selfSizing});
        }
    }
    return found;
}

void ListGeometry::mirrorHorizontally() {
    const double width = contentSize.width;
    const auto mirror = [width](Rect& frame) { frame.origin.x = width - frame.maxX(); };
    for (auto& section : sections) {
        mirror(section.frame);
        for (auto& item : section.items) mirror(item);
        for (auto& row : section.rows) mirror(row.frame);
        for (auto& boundary : section.supplementaries) mirror(boundary.frame);
    }
}

}  // namespace ui
