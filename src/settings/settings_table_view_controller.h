#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controls/switch_control.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image_view.h"
#include "settings/library_settings_table_view_controller.h"

namespace reelhaven {

// The main settings screen, made only by the storyboard "Settings" as "settings": the library's
// size, four switches that each write one setting, and the rows to the storage, languages and
// gestures screens and to the review page. Its static table has four sections; the last
// section's footer names the version. Main thread.
class SettingsTableViewController : public LibrarySettingsTableViewController {
public:
    static constexpr const char* kStoryboardName = "Settings";
    static constexpr const char* kStoryboardIdentifier = "settings";
    enum Section { storageUsage = 0, playback = 1, interface = 2, feedback = 3 };
    static constexpr int edrRow = 2;
    // The store's write-review page of the program.
    static constexpr const char* reviewURL = "itms-apps://itunes.apple.com/app/id1585963473?action=write-review";

    // What the storyboard connects; held weakly (the static cells hold the views).
    struct Outlets {
        std::weak_ptr<ui::Label> librarySizeLabel;
        std::weak_ptr<ui::Switch> reduceHapticsSwitch;
        std::weak_ptr<ui::Switch> preferLandscapeSwitch;
        std::weak_ptr<ui::Switch> useEDRSwitch;
        std::weak_ptr<ui::Switch> continueAudioBackgroundSwitch;
        std::weak_ptr<ui::ImageView> logo;
    };

    // For the storyboard factory only.
    static std::shared_ptr<SettingsTableViewController> create();
    std::string className() const override { return "SettingsTableViewController"; }

    const Outlets& outlets() const { return m_outlets; }
    void setOutlets(Outlets outlets) { m_outlets = std::move(outlets); }

    void viewDidLoad() override;
    void prepareForSegue(ui::StoryboardSegue& segue, const std::shared_ptr<ui::Object>& sender) override;

    // The switches' value-changed actions: each stores its switch's state in its setting.
    void continueAudioBackgroundSwitchChanged(ui::Switch& sender);
    void useEDRSwitchChanged(ui::Switch& sender);
    void reduceHapticsSwitchChanged(ui::Switch& sender);
    void preferLandscapeSwitchChanged(ui::Switch& sender);

    int numberOfRows(ui::TableView& table, int section) override;
    std::optional<std::string> titleForFooter(ui::TableView& table, int section) override;
    std::optional<double> heightForFooter(ui::TableView& table, int section) override;
    std::optional<double> heightForRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    void willDisplayFooterView(ui::TableView& table, ui::View& view, int section) override;
    void didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

protected:
    SettingsTableViewController() : LibrarySettingsTableViewController("Settings") {}

private:
    // Whether the playback section loses its footer: a system of 16 or later whose main screen
    // has no headroom above standard white.
    static bool hidesPlaybackFooter();
    // Whether the EDR row shows: a system of 16 or later and the window's screen has headroom.
    bool showsEDRRow();
    void startLibrarySizePass();
    void openReviewPage();

    Outlets m_outlets;
};

}  // namespace reelhaven
