#pragma once

#include <memory>
#include <string>

#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/text/label.h"

namespace reelhaven {

class ProgressClient;
class VideoManager;

// The storage screen, the destination of the segue "storageSettings": the sizes of the library
// and of the caches, the switch that lets the library take part in the device's backup, and the
// row that deletes all progress and cached data after a confirmation. Main thread; the work it
// starts runs on the settings work queue and keeps the services, not the screen, alive.
class StorageSettingsTableViewController : public ui::TableViewController {
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

    // Both handed over by the main settings screen before the view loads.
    const std::shared_ptr<VideoManager>& videoManager() const { return m_videoManager; }
    void setVideoManager(std::shared_ptr<VideoManager> manager) { m_videoManager = std::move(manager); }
    const std::shared_ptr<ProgressClient>& progressClient() const { return m_progressClient; }
    void setProgressClient(std::shared_ptr<ProgressClient> client) { m_progressClient = std::move(client); }
    const Outlets& outlets() const { return m_outlets; }
    void setOutlets(Outlets outlets) { m_outlets = std::move(outlets); }

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    StatusBarStyle preferredStatusBarStyle() const override { return StatusBarStyle::lightContent; }

    // Stores the switch's state, then lists the whole library so every item's backup mark
    // follows the new setting.
    void icloudBackupSwitchChanged(ui::Switch& sender);

    void willDisplayHeaderView(ui::TableView& table, ui::View& view, int section) override;
    bool shouldHighlightRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    void didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

protected:
    StorageSettingsTableViewController() : ui::TableViewController(ui::TableViewStyle::insetGrouped) {}

private:
    void startSizePass();
    void confirmDeletion();
    // Empties the progress store (and its file), then the caches; the library screens redraw
    // through the manager's delegate.
    void deleteCachedData();
    const std::shared_ptr<VideoManager>& requireVideoManager() const;

    std::shared_ptr<VideoManager> m_videoManager;
    std::shared_ptr<ProgressClient> m_progressClient;
    Outlets m_outlets;
};

}  // namespace reelhaven
