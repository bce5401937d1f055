#include "settings/settings_storyboard.h"

#include <memory>
#include <string>

#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/views/image.h"
#include "settings/language_settings_table_view_controller.h"
#include "settings/settings_table_view_controller.h"
#include "settings/static_rows.h"
#include "settings/storage_settings_table_view_controller.h"

namespace reelhaven {

namespace {

constexpr const char* kStoryboard = SettingsTableViewController::kStoryboardName;

// Sends the switch's value changes to `action` of the screen while the screen lives.
template <typename Screen>
void connectSwitch(const std::shared_ptr<ui::Switch>& toggle, const std::shared_ptr<Screen>& screen,
                   void (Screen::*action)(ui::Switch&)) {
    std::weak_ptr<Screen> weakScreen = screen;
    toggle->addTarget(
        screen,
        [weakScreen, action](ui::Control& sender) {
            auto self = weakScreen.lock();
            auto* toggle = dynamic_cast<ui::Switch*>(&sender);
            if (self && toggle) (self.get()->*action)(*toggle);
        },
        ui::valueChanged);
}

std::shared_ptr<ui::ViewController> makeSettings() {
    auto screen = SettingsTableViewController::create();
    std::shared_ptr<ui::Label> librarySize;
    std::shared_ptr<ui::Switch> continueAudio, useEDR, reduceHaptics, preferLandscape;

    ui::StaticTableSection storage;
    storage.headerTitle = "Storage Usage";
    storage.rows = {StaticRows::value("Library", librarySize, "storageSettings")};

    ui::StaticTableSection playback;
    playback.headerTitle = "Playback";
    playback.footerTitle = "On screens with extended dynamic range, HDR videos keep their bright highlights.";
    playback.rows = {StaticRows::disclosure("Languages", "languageSettings"),
                     StaticRows::toggle("Continue Audio in Background", continueAudio),
                     StaticRows::toggle("Use EDR for HDR Videos", useEDR)};

    ui::StaticTableSection interface;
    interface.headerTitle = "Interface";
    interface.rows = {StaticRows::disclosure("Gestures"), StaticRows::toggle("Reduce Haptics", reduceHaptics),
                      StaticRows::toggle("Prefer Landscape", preferLandscape)};

    ui::StaticTableSection feedback;
    feedback.headerTitle = "Feedback";
    auto review = StaticRows::disclosure("Rate Reelhaven");
    auto logo = review.cell->imageView();
    logo->setImage(ui::Image::systemImage("play.rectangle.fill"));
    feedback.rows = {review};

    screen->setStaticSections({storage, playback, interface, feedback});
    connectSwitch(continueAudio, screen, &SettingsTableViewController::continueAudioBackgroundSwitchChanged);
    connectSwitch(useEDR, screen, &SettingsTableViewController::useEDRSwitchChanged);
    connectSwitch(reduceHaptics, screen, &SettingsTableViewController::reduceHapticsSwitchChanged);
    connectSwitch(preferLandscape, screen, &SettingsTableViewController::preferLandscapeSwitchChanged);
    screen->setOutlets({librarySize, reduceHaptics, preferLandscape, useEDR, continueAudio, logo});
    return screen;
}

std::shared_ptr<ui::ViewController> makeStorageSettings() {
    auto screen = StorageSettingsTableViewController::create();
    std::shared_ptr<ui::Label> librarySize, cacheSize;
    std::shared_ptr<ui::Switch> backup;

    ui::StaticTableSection library;
    library.headerTitle = "Library";
    library.footerTitle = "When off, the videos in your library are left out of the device's backups.";
    library.rows = {StaticRows::value("Library Size", librarySize), StaticRows::toggle("Include in Backups", backup)};

    ui::StaticTableSection cache;
    cache.headerTitle = "Cache";
    cache.footerTitle = "Deletes the progress of every video, thumbnails and screenshots.";
    cache.rows = {StaticRows::value("Cached Data", cacheSize),
                  StaticRows::action("Delete Cached Data", ui::Color::systemRed())};

    screen->setStaticSections({library, cache});
    connectSwitch(backup, screen, &StorageSettingsTableViewController::icloudBackupSwitchChanged);
    screen->setOutlets({librarySize, cacheSize, backup});
    return screen;
}

std::shared_ptr<ui::ViewController> makeLanguageSettings() {
    auto screen = LanguageSettingsTableViewController::create();
    std::shared_ptr<ui::Label> audio, subtitles;

    ui::StaticTableSection about;
    about.footerTitle = "A video that has tracks in these languages starts with them.";

    ui::StaticTableSection audioSection;
    audioSection.headerTitle = "Audio";
    audioSection.rows = {StaticRows::value("Audio Language", audio)};
    audioSection.rows.front().cell->setAccessoryType(ui::TableViewCellAccessoryType::disclosureIndicator);

    ui::StaticTableSection subtitleSection;
    subtitleSection.headerTitle = "Subtitles";
    subtitleSection.rows = {StaticRows::value("Subtitle Language", subtitles)};
    subtitleSection.rows.front().cell->setAccessoryType(ui::TableViewCellAccessoryType::disclosureIndicator);

    screen->setStaticSections({about, audioSection, subtitleSection});
    return screen;
}

}  // namespace

void registerSettingsStoryboard() {
    if (ui::Storyboard::isRegistered(kStoryboard, SettingsTableViewController::kStoryboardIdentifier)) return;
    ui::Storyboard::registerController(kStoryboard, SettingsTableViewController::kStoryboardIdentifier, makeSettings);
    ui::Storyboard::registerController(kStoryboard, "storageSettings", makeStorageSettings);
    ui::Storyboard::registerController(kStoryboard, "languageSettings", makeLanguageSettings);
    ui::Storyboard::registerSegue(kStoryboard, "storageSettings", "storageSettings", ui::StoryboardSegue::Kind::show);
    ui::Storyboard::registerSegue(kStoryboard, "languageSettings", "languageSettings", ui::StoryboardSegue::Kind::show);
}

}  // namespace reelhaven
