#pragma once

#include <memory>
#include <string>

#include "settings/settings_screen_table_view_controller.h"

namespace reelhaven {

class LanguagePickerViewController;

// The languages screen of the storyboard "Settings": the preferred audio language (section 1)
// and subtitle language (section 2), each row showing the stored code or "Automatic (Default)"
// and opening the picker. It reads the settings each time the table asks for a cell. Main
// thread.
class LanguageSettingsTableViewController : public SettingsScreenTableViewController {
public:
    static constexpr int audioSection = 1;
    static constexpr int subtitleSection = 2;

    // For the storyboard factory only.
    static std::shared_ptr<LanguageSettingsTableViewController> create();
    std::string className() const override { return "LanguageSettingsTableViewController"; }

    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    void didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

protected:
    LanguageSettingsTableViewController() : SettingsScreenTableViewController("Languages") {}

private:
    // The picker for a section's setting, its choice stored and shown when made.
    std::shared_ptr<LanguagePickerViewController> makePicker(int section);
};

}  // namespace reelhaven
