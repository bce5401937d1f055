#include "platform/ui/lists/list_layout_configuration.h"

#include "platform/ui/lists/element_kind.h"

namespace ui {

Color ListLayoutConfiguration::listBackgroundColor() const {
    if (backgroundColor) return *backgroundColor;
    return appearance == CollectionLayoutSection::ListAppearance::plain ||
                   appearance == CollectionLayoutSection::ListAppearance::sidebarPlain
               ? Color::systemBackground()
               : Color::systemGroupedBackground();
}

CollectionLayoutSection listSection(const ListLayoutConfiguration& configuration,
                                    const CollectionLayoutEnvironment& environment) {
    using Appearance = CollectionLayoutSection::ListAppearance;
    const Appearance appearance = configuration.appearance;
    const bool grouped = appearance == Appearance::grouped || appearance == Appearance::insetGrouped;
    const bool header = configuration.headerMode == ListLayoutConfiguration::HeaderMode::supplementary;
    const bool footer = configuration.footerMode == ListLayoutConfiguration::FooterMode::supplementary;

    CollectionLayoutSection section;
    section.listAppearance = appearance;
    section.backgroundColor = configuration.backgroundColor;
    // Grouped rows stand out from the list's background as cards.
    if (grouped) section.rowBackgroundColor = Color::secondarySystemBackground();
    section.firstItemIsHeader = configuration.headerMode == ListLayoutConfiguration::HeaderMode::firstItemInSection;
    section.itemSize = {LayoutDimension::fractionalWidth(1), LayoutDimension::estimated(ListMetrics::rowHeight)};
    section.groupSize = section.itemSize;
    EdgeInsets sides;
    if (appearance == Appearance::insetGrouped) sides = ListMetrics::insetGroupedSides(environment.layoutMargins);
    if (appearance == Appearance::sidebar) sides = {0, ListMetrics::sidebarMargin, 0, ListMetrics::sidebarMargin};
    section.contentInsets = {grouped && !header ? ListMetrics::groupedSectionSpacing : 0, sides.left,
                             grouped && !footer ? ListMetrics::groupedSectionSpacing : 0, sides.right};
    if (header) {
        const double height = grouped ? ListMetrics::groupedHeaderHeight : ListMetrics::plainHeaderHeight;
        // Plain lists keep the header of the section in view on top of its rows.
        const bool pinned = appearance == Appearance::plain;
        section.boundarySupplementaryItems.push_back(
            {{LayoutDimension::fractionalWidth(1), LayoutDimension::estimated(height)},
             elementKindSectionHeader,
             CollectionLayoutBoundarySupplementaryItem::Alignment::top,
             pinned,
             pinned ? 1 : 0});
    }
    if (footer) {
        section.boundarySupplementaryItems.push_back(
            {{LayoutDimension::fractionalWidth(1), LayoutDimension::estimated(ListMetrics::footerHeight)},
             elementKindSectionFooter,
             CollectionLayoutBoundarySupplementaryItem::Alignment::bottom,
             false,
             0});
    }
    return section;
}

}  // namespace ui
