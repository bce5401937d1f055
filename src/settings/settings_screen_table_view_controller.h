#pragma once

#include <string>

#include "platform/ui/controllers/table_view_controller.h"

namespace reelhaven {

// What every table screen of the settings shares: an inset grouped table in the settings look
// (the grey 6 background, light status bar, side margins by width, the header font, the grey
// highlight on every row) and its title, set when the view loads. Main thread.
class SettingsScreenTableViewController : public ui::TableViewController {
public:
    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    StatusBarStyle preferredStatusBarStyle() const override { return StatusBarStyle::lightContent; }
    void willDisplayHeaderView(ui::TableView& table, ui::View& view, int section) override;
    bool shouldHighlightRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

protected:
    explicit SettingsScreenTableViewController(std::string title);

private:
    std::string m_title;
};

}  // namespace reelhaven
