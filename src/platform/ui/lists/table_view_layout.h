#pragma once

#include <functional>
#include <memory>

#include "platform/ui/lists/collection_view_layout.h"
#include "platform/ui/lists/element_kind.h"

namespace ui {

// A table's layout: each section is its header, its rows and its footer, stacked by their
// heights; rows span the width, or in an inset table the width inside the list's margins. The
// table gives the heights.
class TableViewLayout : public CollectionViewLayout {
public:
    static std::shared_ptr<TableViewLayout> create() { return std::shared_ptr<TableViewLayout>(new TableViewLayout()); }
    std::string className() const override { return "TableViewLayout"; }

    std::function<double(const IndexPath&)> rowHeight;
    // 0: the section has none.
    std::function<double(int section)> headerHeight;
    std::function<double(int section)> footerHeight;
    bool insetsRows = false;
    // Below the last section: the table's footer view.
    double trailingHeight = 0;
    // Headers stay on top of their rows while their section shows (plain tables).
    bool pinsHeaders = false;

    ListGeometry prepare(const ListLayoutContext& context) const override;

private:
    TableViewLayout() = default;
};

}  // namespace ui
