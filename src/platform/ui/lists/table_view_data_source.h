#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/lists/index_path.h"

namespace ui {

class TableView;
class TableViewCell;
class View;

// Supplies a table's rows (held weakly).
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual int numberOfSections(TableView& /*table*/) { return 1; }
    virtual int numberOfRows(TableView& table, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& indexPath) = 0;
    virtual std::optional<std::string> titleForHeader(TableView& /*table*/, int /*section*/) { return std::nullopt; }
    virtual std::optional<std::string> titleForFooter(TableView& /*table*/, int /*section*/) { return std::nullopt; }
};

}  // namespace ui
