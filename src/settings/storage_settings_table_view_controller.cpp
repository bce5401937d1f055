#include "settings/storage_settings_table_view_controller.h"

#include <vector>

#include "core/documents_client.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/base/fatal.h"
#include "platform/ui/controllers/alert_controller.h"
#include "settings/outlet.h"
#include "settings/settings_work_queue.h"
#include "settings/size_pass.h"

namespace reelhaven {

std::shared_ptr<StorageSettingsTableViewController> StorageSettingsTableViewController::create() {
    return ui::make<StorageSettingsTableViewController>();
}

void StorageSettingsTableViewController::viewDidLoad() {
    LibrarySettingsTableViewController::viewDidLoad();
    startSizePass();
    outlet(m_outlets.icloudBackupSwitch, "icloudBackupSwitch")
        ->setOn(Preferences::shared().icloudBackup.wrappedValue());
}

void StorageSettingsTableViewController::startSizePass() {
    auto documents = requireVideoManager()->documentsClient();
    std::weak_ptr<StorageSettingsTableViewController> weakSelf = sharedAs<StorageSettingsTableViewController>();
    SizePass::start(
        weakSelf,
        [documents] {
            return std::vector<std::string>{SizePass::librarySizeText(*documents), SizePass::cacheSizeText(*documents)};
        },
        [weakSelf](const std::vector<std::string>& texts) {
            if (auto self = weakSelf.lock())
                outlet(self->m_outlets.librarySizeLabel, "librarySizeLabel")->setText(texts.at(0));
            if (auto self = weakSelf.lock())
                outlet(self->m_outlets.cacheSizeLabel, "cacheSizeLabel")->setText(texts.at(1));
        });
}

void StorageSettingsTableViewController::icloudBackupSwitchChanged(ui::Switch& sender) {
    Preferences::shared().icloudBackup.setWrappedValue(sender.isOn());
    // The listing marks what it visits by the setting as it stands when it runs, so the last
    // change wins however the passes overlap.
    auto documents = requireVideoManager()->documentsClient();
    settingsWorkQueue()->async([documents] { documents->contents(documents->documentsURL(), true); });
}

void StorageSettingsTableViewController::didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    table.deselectRow(indexPath);
    if (indexPath == ui::IndexPath{deleteSection, deleteRow}) confirmDeletion();
}

void StorageSettingsTableViewController::confirmDeletion() {
    auto alert = ui::AlertController::create(
        "Delete cached data",
        "Are you sure you want to delete all progress history and cached data? The video files in your library "
        "will remain.",
        ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel));
    std::weak_ptr<StorageSettingsTableViewController> weakSelf = sharedAs<StorageSettingsTableViewController>();
    alert->addAction(
        ui::AlertAction::create("Confirm", ui::AlertActionStyle::destructive, [weakSelf](ui::AlertAction&) {
            if (auto self = weakSelf.lock()) self->deleteCachedData();
        }));
    present(alert, true);
}

void StorageSettingsTableViewController::deleteCachedData() {
    if (!progressClient()) base::fatal("the storage screen was used without its progress client");
    auto manager = requireVideoManager();
    auto progress = progressClient();
    settingsWorkQueue()->async([progress, manager] {
        progress->deleteAll();
        manager->clearCache();
    });
}

}  // namespace reelhaven
