#include "settings/settings_screen_table_view_controller.h"

#include "platform/ui/controllers/navigation_item.h"
#include "settings/settings_look.h"

namespace reelhaven {

SettingsScreenTableViewController::SettingsScreenTableViewController(std::string title)
    : ui::TableViewController(ui::TableViewStyle::insetGrouped), m_title(std::move(title)) {}

void SettingsScreenTableViewController::viewDidLoad() {
    ui::TableViewController::viewDidLoad();
    navigationItem()->setTitle(m_title);
    view()->setBackgroundColor(SettingsLook::background());
}

void SettingsScreenTableViewController::viewDidLayoutSubviews() {
    ui::TableViewController::viewDidLayoutSubviews();
    SettingsLook::applyLayoutMargins(*tableView(), *view());
}

void SettingsScreenTableViewController::willDisplayHeaderView(ui::TableView&, ui::View& view, int) {
    SettingsLook::styleHeader(view);
}

bool SettingsScreenTableViewController::shouldHighlightRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    return SettingsLook::highlightRow(table, indexPath);
}

}  // namespace reelhaven
