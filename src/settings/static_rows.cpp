#include "settings/static_rows.h"

namespace reelhaven {

namespace {

std::shared_ptr<ui::TableViewCell> titledCell(const std::string& title, ui::TableViewCellStyle style) {
    auto cell = ui::TableViewCell::create(style);
    cell->textLabel()->setText(title);
    cell->setBackgroundColor(ui::Color::systemGray5());
    return cell;
}

}  // namespace

ui::StaticTableRow StaticRows::disclosure(const std::string& title, std::optional<std::string> segue) {
    auto cell = titledCell(title, ui::TableViewCellStyle::defaultStyle);
    cell->setAccessoryType(ui::TableViewCellAccessoryType::disclosureIndicator);
    return {cell, std::move(segue), std::nullopt};
}

ui::StaticTableRow StaticRows::value(const std::string& title, std::shared_ptr<ui::Label>& detail,
                                     std::optional<std::string> segue) {
    auto cell = titledCell(title, ui::TableViewCellStyle::value1);
    detail = cell->detailTextLabel();
    detail->setTextColor(ui::Color::secondaryLabel());
    if (segue) cell->setAccessoryType(ui::TableViewCellAccessoryType::disclosureIndicator);
    return {cell, std::move(segue), std::nullopt};
}

ui::StaticTableRow StaticRows::toggle(const std::string& title, std::shared_ptr<ui::Switch>& toggle) {
    auto cell = titledCell(title, ui::TableViewCellStyle::defaultStyle);
    toggle = ui::Switch::create();
    toggle->setOnTintColor(ui::Color::systemBlue());
    cell->setAccessoryView(toggle);
    return {cell, std::nullopt, std::nullopt};
}

ui::StaticTableRow StaticRows::action(const std::string& title, const ui::Color& color) {
    auto cell = titledCell(title, ui::TableViewCellStyle::defaultStyle);
    cell->textLabel()->setTextColor(color);
    return {cell, std::nullopt, std::nullopt};
}

}  // namespace reelhaven
