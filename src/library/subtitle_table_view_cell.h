#pragma once

#include <memory>
#include <string>

#include "platform/ui/lists/table_view_cell.h"

namespace reelhaven {

// A table cell that always has the subtitle style (a title above a detail line), whatever style
// it is asked for.
class SubtitleTableViewCell : public ui::TableViewCell {
public:
    static std::shared_ptr<SubtitleTableViewCell> create(
        ui::TableViewCellStyle style = ui::TableViewCellStyle::subtitle, std::string reuseIdentifier = {});
    std::string className() const override { return "SubtitleTableViewCell"; }

protected:
    SubtitleTableViewCell() : ui::TableViewCell(ui::TableViewCellStyle::subtitle) {}
};

}  // namespace reelhaven
