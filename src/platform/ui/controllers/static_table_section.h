#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/lists/table_view_cell.h"

namespace ui {

// One row of a table whose content an interface file fixes: the cell already built, and the
// segue the row triggers when it is selected.
struct StaticTableRow {
    std::shared_ptr<TableViewCell> cell;
    std::optional<std::string> segue;
    std::optional<double> height;  // none: the table's row height
};

// One section of such a table: its rows, header and footer texts and their heights (none: the
// table's own).
struct StaticTableSection {
    std::vector<StaticTableRow> rows;
    std::optional<std::string> headerTitle;
    std::optional<std::string> footerTitle;
    std::optional<double> headerHeight;
    std::optional<double> footerHeight;
};

}  // namespace ui
