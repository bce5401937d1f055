#include "library/library_grid_layout.h"

#include <algorithm>

namespace reelhaven {

ui::CollectionLayoutSection libraryGridSection(const ui::CollectionLayoutEnvironment& environment) {
    const double width = environment.effectiveContentSize.width;
    const double height = environment.effectiveContentSize.height;
    const bool pad = environment.traits.userInterfaceIdiom == ui::UserInterfaceIdiom::pad;
    const double spacing = width >= 768 && pad ? 20 : 10;
    const int columns = width > 1024 ? 3 : 2;
    const double rowHeight = std::max(height / 6, height < 375 ? 130.0 : 150.0);

    ui::CollectionLayoutSection section;
    section.itemSize = {ui::LayoutDimension::fractionalWidth(1.0), ui::LayoutDimension::fractionalHeight(1.0)};
    section.groupSize = {ui::LayoutDimension::fractionalWidth(1.0), ui::LayoutDimension::absolute(rowHeight)};
    section.horizontalGroup = true;
    section.itemsPerGroup = columns;
    section.interItemSpacing = spacing;
    section.interGroupSpacing = spacing;
    section.contentInsets = {spacing, spacing, 10, spacing};
    return section;
}

}  // namespace reelhaven
