#pragma once

#include <algorithm>
#include <optional>

#include "platform/ui/lists/collection_layout_section.h"

namespace ui {

// A list section's look: its appearance, where its header and footer come from, and its
// background colour.
struct ListLayoutConfiguration {
    enum class HeaderMode { none, supplementary, firstItemInSection };
    enum class FooterMode { none, supplementary };

    CollectionLayoutSection::ListAppearance appearance = CollectionLayoutSection::ListAppearance::plain;
    HeaderMode headerMode = HeaderMode::none;
    FooterMode footerMode = FooterMode::none;
    // None: the appearance's own (grouped lists lie on the grouped background, plain ones on the
    // system background).
    std::optional<Color> backgroundColor;
    bool showsSeparators = true;

    // The colour the list lies on.
    Color listBackgroundColor() const;
};

// Row metrics of the list appearances, in points.
struct ListMetrics {
    static constexpr double rowHeight = 44;
    static constexpr double plainHeaderHeight = 28;
    static constexpr double groupedHeaderHeight = 38;
    static constexpr double footerHeight = 28;
    // Space above and below a grouped section without a header or footer of its own.
    static constexpr double groupedSectionSpacing = 18;
    // Side insets of the inset appearances.
    static constexpr double insetGroupedMargin = 20;
    static constexpr double sidebarMargin = 10;

    // The sides of an inset-grouped section: the list's layout margins (a screen widens them on
    // a wide window), never less than the appearance's own inset.
    static EdgeInsets insetGroupedSides(const EdgeInsets& margins) {
        return {0, std::max(insetGroupedMargin, margins.left), 0, std::max(insetGroupedMargin, margins.right)};
    }
};

// A list section in `environment`: full-width rows of estimated height, the appearance's insets,
// and a header (pinned in the plain appearance) and footer when their modes ask for them.
CollectionLayoutSection listSection(const ListLayoutConfiguration& configuration,
                                    const CollectionLayoutEnvironment& environment);

}  // namespace ui
