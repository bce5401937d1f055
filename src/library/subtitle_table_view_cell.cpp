#include "library/subtitle_table_view_cell.h"

namespace reelhaven {

std::shared_ptr<SubtitleTableViewCell> SubtitleTableViewCell::create(ui::TableViewCellStyle,
                                                                     std::string reuseIdentifier) {
    auto cell = std::shared_ptr<SubtitleTableViewCell>(new SubtitleTableViewCell());
    cell->setReuseIdentifier(std::move(reuseIdentifier));
    return cell;
}

}  // namespace reelhaven
