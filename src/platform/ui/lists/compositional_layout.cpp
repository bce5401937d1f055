#include "platform/ui/lists/compositional_layout.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

using Alignment = CollectionLayoutBoundarySupplementaryItem::Alignment;

// A dimension in points against the width and height it is a fraction of.
double resolve(const LayoutDimension& dimension, double width, double height) {
    switch (dimension.kind) {
        case LayoutDimension::Kind::fractionalWidth: return dimension.value * width;
        case LayoutDimension::Kind::fractionalHeight: return dimension.value * height;
        case LayoutDimension::Kind::absolute:
        case LayoutDimension::Kind::estimated: break;
    }
    return dimension.value;
}

bool estimated(const LayoutDimension& dimension) { return dimension.kind == LayoutDimension::Kind::estimated; }

Rect inset(const Rect& rect, const EdgeInsets& insets) {
    return Rect(rect.origin.x + insets.left, rect.origin.y + insets.top,
                std::max(0.0, rect.size.width - insets.left - insets.right),
                std::max(0.0, rect.size.height - insets.top - insets.bottom));
}

// Places one section from `top` down: its top boundary views, its groups, its bottom ones.
class SectionPlacer {
public:
    SectionPlacer(const CollectionLayoutSection& spec, const ListLayoutContext& context, int section)
        : m_spec(spec), m_context(context), m_section(section) {
        const Size effective = context.effectiveContentSize();
        m_containerWidth = effective.width;
        m_width = std::max(0.0, effective.width - spec.contentInsets.left - spec.contentInsets.right);
        m_height = std::max(0.0, effective.height - spec.contentInsets.top - spec.contentInsets.bottom);
    }

    ListGeometry::Section place(double top, int count) {
        ListGeometry::Section out;
        out.selfSizingItems = estimated(m_spec.itemSize.height) || estimated(m_spec.groupSize.height);
        double y = placeBoundary(out, Alignment::top, top);
        y += m_spec.contentInsets.top;
        for (int first = 0; first < count;) {
            if (first > 0) y += m_spec.interGroupSpacing;
            const int placed =
                m_spec.horizontalGroup ? horizontalGroup(out, first, count, y) : verticalGroup(out, first, count, y);
            y = out.rows.back().frame.maxY();
            first += placed;
        }
        y += m_spec.contentInsets.bottom;
        y = placeBoundary(out, Alignment::bottom, y);
        out.frame = Rect(0, top, m_containerWidth, y - top);
        return out;
    }

private:
    double placeBoundary(ListGeometry::Section& out, Alignment alignment, double y) {
        for (const auto& item : m_spec.boundarySupplementaryItems) {
            if (item.alignment != alignment) continue;
            const double width = resolve(item.layoutSize.width, m_width, m_height);
            const double height = m_context.measuredSupplementary(item.elementKind, m_section)
                                      .value_or(resolve(item.layoutSize.height, m_width, m_height));
            out.supplementaries.push_back({item.elementKind, Rect(m_spec.contentInsets.left, y, width, height),
                                           alignment == Alignment::top, item.pinToVisibleBounds, item.zIndex,
                                           estimated(item.layoutSize.height), item.pinnedOutset});
            y += height;
        }
        return y;
    }

    // An item's height: what its cell measured, else its own size against the group's.
    double itemHeight(int item, double groupWidth, double groupHeight) const {
        if (auto measured = m_context.measuredItem({m_section, item})) return *measured;
        return resolve(m_spec.itemSize.height, groupWidth, groupHeight);
    }

    int horizontalGroup(ListGeometry::Section& out, int first, int count, double y) {
        const double groupWidth = resolve(m_spec.groupSize.width, m_width, m_height);
        const bool groupEstimated = estimated(m_spec.groupSize.height);
        const double groupEstimate = resolve(m_spec.groupSize.height, m_width, m_height);
        const double spacing = m_spec.interItemSpacing;
        int perGroup = m_spec.itemsPerGroup;
        double itemWidth = 0;
        if (perGroup > 0) {
            itemWidth = std::max(0.0, (groupWidth - (perGroup - 1) * spacing) / perGroup);
        } else {
            itemWidth = resolve(m_spec.itemSize.width, groupWidth, groupEstimate);
            perGroup = itemWidth + spacing > 0
                           ? std::max(1, static_cast<int>(std::floor((groupWidth + spacing) / (itemWidth + spacing))))
                           : 1;
        }
        const int placed = std::min(perGroup, count - first);
        double groupHeight = groupEstimate;
        if (groupEstimated) {
            groupHeight = 0;
            for (int i = first; i < first + placed; ++i)
                groupHeight = std::max(groupHeight, itemHeight(i, groupWidth, groupEstimate));
        }
        double x = m_spec.contentInsets.left;
        for (int i = first; i < first + placed; ++i) {
            const double height = groupEstimated ? groupHeight : itemHeight(i, groupWidth, groupHeight);
            out.items.push_back(inset(Rect(x, y, itemWidth, height), m_spec.itemContentInsets));
            x += itemWidth + spacing;
        }
        out.rows.push_back({Rect(m_spec.contentInsets.left, y, groupWidth, groupHeight), first, placed});
        return placed;
    }

    int verticalGroup(ListGeometry::Section& out, int first, int count, double y) {
        const double groupWidth = resolve(m_spec.groupSize.width, m_width, m_height);
        const bool groupEstimated = estimated(m_spec.groupSize.height);
        const double groupEstimate = resolve(m_spec.groupSize.height, m_width, m_height);
        const double spacing = m_spec.interItemSpacing;
        const int perGroup = std::max(1, m_spec.itemsPerGroup);
        const int placed = std::min(perGroup, count - first);
        const double shared = std::max(0.0, (groupEstimate - (perGroup - 1) * spacing) / perGroup);
        const double itemWidth = resolve(m_spec.itemSize.width, groupWidth, groupEstimate);
        double itemY = y;
        for (int i = first; i < first + placed; ++i) {
            const double height = groupEstimated ? itemHeight(i, groupWidth, groupEstimate)
                                                 : m_context.measuredItem({m_section, i}).value_or(shared);
            out.items.push_back(
                inset(Rect(m_spec.contentInsets.left, itemY, itemWidth, height), m_spec.itemContentInsets));
            itemY += height + spacing;
        }
        const double groupHeight = groupEstimated ? std::max(0.0, itemY - spacing - y) : groupEstimate;
        out.rows.push_back({Rect(m_spec.contentInsets.left, y, groupWidth, groupHeight), first, placed});
        return placed;
    }

    const CollectionLayoutSection& m_spec;
    const ListLayoutContext& m_context;
    int m_section;
    double m_containerWidth = 0;
    double m_width = 0;
    double m_height = 0;
};

}  // namespace

std::shared_ptr<CompositionalLayout> CompositionalLayout::create(SectionProvider provider) {
    auto layout = std::shared_ptr<CompositionalLayout>(new CompositionalLayout());
    layout->m_provider = std::move(provider);
    return layout;
}

std::shared_ptr<CompositionalLayout> CompositionalLayout::createList(
    CollectionLayoutSection::ListAppearance appearance) {
    ListLayoutConfiguration configuration;
    configuration.appearance = appearance;
    return createList(configuration);
}

std::shared_ptr<CompositionalLayout> CompositionalLayout::createList(const ListLayoutConfiguration& configuration) {
    auto layout = create([configuration](int, const CollectionLayoutEnvironment& environment) {
        return std::optional<CollectionLayoutSection>(listSection(configuration, environment));
    });
    layout->m_listBackground = configuration.listBackgroundColor();
    return layout;
}

std::optional<CollectionLayoutSection> CompositionalLayout::section(
    int index, const CollectionLayoutEnvironment& environment) const {
    return m_provider ? m_provider(index, environment) : std::nullopt;
}

ListGeometry CompositionalLayout::prepare(const ListLayoutContext& context) const {
    ListGeometry geometry;
    const CollectionLayoutEnvironment environment{context.effectiveContentSize(), context.traits,
                                                  context.layoutMargins};
    double y = 0;
    for (int s = 0; s < static_cast<int>(context.itemCounts.size()); ++s) {
        const auto spec = section(s, environment);
        if (!spec) {  // no section: its items take no room
            ListGeometry::Section empty;
            empty.frame = Rect(0, y, environment.effectiveContentSize.width, 0);
            empty.items.assign(static_cast<size_t>(context.itemCounts[static_cast<size_t>(s)]), Rect(0, y, 0, 0));
            for (int i = 0; i < context.itemCounts[static_cast<size_t>(s)]; ++i)
                empty.rows.push_back({empty.frame, i, 1});
            geometry.sections.push_back(std::move(empty));
            continue;
        }
        geometry.sections.push_back(
            SectionPlacer(*spec, context, s).place(y, context.itemCounts[static_cast<size_t>(s)]));
        y = geometry.sections.back().frame.maxY();
    }
    geometry.contentSize = {environment.effectiveContentSize.width, y};
    return geometry;
}

}  // namespace ui
