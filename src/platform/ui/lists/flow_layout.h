#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "platform/ui/lists/collection_view_layout.h"
#include "platform/ui/views/edge_insets.h"

namespace ui {

// A flow layout: items in lines across the width, each line as tall as its tallest item. Items
// of a full line are spread over the width (at least `minimumInteritemSpacing` apart), a line of
// one item is centred, and items sit in the middle of their line's height. Each section has its
// insets, and a header and footer of their reference heights spanning the width.
class FlowLayout : public CollectionViewLayout {
public:
    static std::shared_ptr<FlowLayout> create() { return std::shared_ptr<FlowLayout>(new FlowLayout()); }
    std::string className() const override { return "FlowLayout"; }

    Size itemSize{50, 50};
    // Per item, when given; else `itemSize`.
    std::function<Size(const IndexPath&)> sizeForItem;
    double minimumLineSpacing = 10;
    double minimumInteritemSpacing = 10;
    EdgeInsets sectionInset;
    double headerReferenceHeight = 0;
    double footerReferenceHeight = 0;
    bool sectionHeadersPinToVisibleBounds = false;

    ListGeometry prepare(const ListLayoutContext& context) const override;

private:
    FlowLayout() = default;
};

}  // namespace ui
