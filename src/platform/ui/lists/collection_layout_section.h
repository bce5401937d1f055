#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/ui/layout/layout_dimension.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/size.h"
#include "platform/ui/views/trait_collection.h"

namespace ui {

// A header or footer of a section: its size (relative to the section's content width), kind,
// edge, whether it stays inside the visible bounds while its section shows, and its z-index.
struct CollectionLayoutBoundarySupplementaryItem {
    enum class Alignment { top, bottom };

    LayoutSize layoutSize;
    std::string elementKind;
    Alignment alignment = Alignment::top;
    bool pinToVisibleBounds = false;
    int zIndex = 0;
    // How far a pinned header may rise past the visible top: a margin above what it draws, kept
    // out of view so the rows scrolling under it do not show through it.
    double pinnedOutset = 0;
};

// The values of one section of a compositional layout: its item and group sizes, how many items
// a group holds (0: as many as fit), spacing and insets, its headers and footers, or a list
// configuration. Item sizes are relative to their group; group sizes and header widths to the
// section's content size (the container less the section's insets). A count divides the group
// among its items whatever their own size along the group's axis.
struct CollectionLayoutSection {
    enum class ListAppearance { plain, grouped, insetGrouped, sidebar, sidebarPlain };

    LayoutSize itemSize;
    EdgeInsets itemContentInsets;
    LayoutSize groupSize;
    bool horizontalGroup = true;
    int itemsPerGroup = 1;
    double interItemSpacing = 0;
    double interGroupSpacing = 0;
    EdgeInsets contentInsets;
    std::vector<CollectionLayoutBoundarySupplementaryItem> boundarySupplementaryItems;
    std::optional<ListAppearance> listAppearance;
    std::optional<Color> backgroundColor;
    // What a list's rows lie on when their cells set no background of their own (none: the
    // list's background shows through); a first item that is the section's header has none.
    std::optional<Color> rowBackgroundColor;
    bool firstItemIsHeader = false;

    // The first boundary item of a kind (the section header of a list, say).
    const CollectionLayoutBoundarySupplementaryItem* boundaryItem(const std::string& kind) const {
        for (const auto& item : boundarySupplementaryItems) {
            if (item.elementKind == kind) return &item;
        }
        return nullptr;
    }
};

// The environment a section provider is asked in.
struct CollectionLayoutEnvironment {
    Size effectiveContentSize;
    TraitCollection traits;
    EdgeInsets layoutMargins;
};

}  // namespace ui
