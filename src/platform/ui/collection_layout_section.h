#pragma once

#include <optional>

#include "platform/ui/edge_insets.h"
#include "platform/ui/layout_dimension.h"
#include "platform/ui/size.h"
#include "platform/ui/trait_collection.h"

namespace ui {

// The values of one section of a compositional layout, recorded: its item and group sizes, how
// many items a group holds, spacing and insets, or a list configuration. Not solved.
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
    std::optional<ListAppearance> listAppearance;
    bool hasHeader = false;
};

// The environment a section provider is asked in.
struct CollectionLayoutEnvironment {
    Size effectiveContentSize;
    TraitCollection traits;
};

}  // namespace ui
