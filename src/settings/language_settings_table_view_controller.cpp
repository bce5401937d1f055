#include "settings/language_settings_table_view_controller.h"

#include "core/preferences.h"
#include "platform/base/fatal.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/text/font.h"
#include "settings/language_picker_view_controller.h"

namespace reelhaven {

namespace {

// The setting a section of the screen shows, or none for the other sections.
GlobalSetting<std::string>* languageSetting(int section) {
    auto& preferences = Preferences::shared();
    if (section == LanguageSettingsTableViewController::audioSection) return &preferences.audioLanguage;
    if (section == LanguageSettingsTableViewController::subtitleSection) return &preferences.subtitleLanguage;
    return nullptr;
}

}  // namespace

std::shared_ptr<LanguageSettingsTableViewController> LanguageSettingsTableViewController::create() {
    return ui::make<LanguageSettingsTableViewController>();
}

std::shared_ptr<ui::TableViewCell> LanguageSettingsTableViewController::cellForRow(ui::TableView& table,
                                                                                   const ui::IndexPath& indexPath) {
    auto cell = ui::TableViewController::cellForRow(table, indexPath);
    auto* setting = languageSetting(indexPath.section);
    auto detail = cell->detailTextLabel();
    if (!setting || !detail) return cell;
    const auto stored = setting->wrappedValue();
    if (stored.empty()) {
        const auto font = ui::Font::named("Inter-Regular", 16);
        if (!font) base::fatal("the font Inter-Regular is not installed");
        detail->setText("Automatic (Default)");
        detail->setFont(*font);
    } else {
        detail->setText(stored);
        detail->setFont(ui::Font::monospacedSystemFont(16, ui::FontWeight::medium));
    }
    return cell;
}

std::shared_ptr<LanguagePickerViewController> LanguageSettingsTableViewController::makePicker(int section) {
    auto picker = LanguagePickerViewController::create();
    auto* setting = languageSetting(section);
    if (!setting) return picker;  // no title and no callback: a choice only closes it
    picker->navigationItem()->setTitle(section == audioSection ? "Audio Language" : "Subtitle Language");
    picker->selectedLanguageCode = setting->wrappedValue();
    std::weak_ptr<LanguageSettingsTableViewController> weakSelf = sharedAs<LanguageSettingsTableViewController>();
    picker->didSelectLanguage = [weakSelf, setting](const LanguagePickerViewController::Language& language) {
        setting->setWrappedValue(language.code.value_or(""));
        if (auto self = weakSelf.lock()) self->tableView()->reloadData();
    };
    return picker;
}

void LanguageSettingsTableViewController::didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    auto navigation = ui::NavigationController::create(makePicker(indexPath.section));
    present(navigation, true);
    table.deselectRow(indexPath);
}

}  // namespace reelhaven
