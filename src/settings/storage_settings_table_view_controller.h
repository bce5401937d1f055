#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/switch_control.h"
#include "platform/ui/text/label.h"
#include "settings/library_settings_table_view_controller.h"

namespace reelhaven {

// The storage screen, the destination of the segue "storageSettings": the sizes of the library
// and of the caches, the switch that lets the library take part in the device's backup, and the
// row that deletes all progress and cached data after a confirmation. Main thread; the work it
// starts runs on the settings work queue and keeps the services, not the screen, alive.
class StorageSettingsTableViewController : public LibrarySettingsTableViewController {
public:
    // The row that deletes the cached data.
    static constexpr int deleteSection = 1;
    static constexpr int deleteRow = 1;

    struct Outlets {
        std::weak_ptr<ui::Label> librarySizeLabel;
        std::weak_ptr<ui::Label> cacheSizeLabel;
        std::weak_ptr<ui::Switch> icloudBackupSwitch;
    };

    // For the storyboard factory only.
    static std::shared_ptr<StorageSettingsTableViewController> create();
    std::string className() const override { return "StorageSettingsTableViewController"; }

    const Outlets& outlets() const { return m_outlets; }
    void setOutlets(Outlets outlets) { m_outlets = std::move(outlets); }

    void viewDidLoad() override;

    // Stores the switch's state, then lists the whole library so every item's backup mark
    // follows the new setting.
    void icloudBackupSwitchChanged(ui::Switch& sender);

    void didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

protected:
    StorageSettingsTableViewController() : LibrarySettingsTableViewController("Storage") {}

private:
    void startSizePass();
    void confirmDeletion();
    // Empties the progress store (and its file), then the caches; the library screens redraw
    // through the manager's delegate.
    void deleteCachedData();
    Outlets m_outlets;
};

}  // namespace reelhaven
