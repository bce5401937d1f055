#include "settings/settings_table_view_controller.h"

#include "core/documents_client.h"
#include "core/preferences.h"
#include "core/video_manager.h"
#include "platform/base/fatal.h"
#include "platform/foundation/bundle.h"
#include "platform/foundation/url.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/text/font.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "settings/gesture_settings_view_controller.h"
#include "settings/outlet.h"
#include "settings/size_pass.h"
#include "settings/storage_settings_table_view_controller.h"
#include "toolkit/device_flag.h"

namespace reelhaven {

std::shared_ptr<SettingsTableViewController> SettingsTableViewController::create() {
    return ui::make<SettingsTableViewController>();
}

void SettingsTableViewController::viewDidLoad() {
    LibrarySettingsTableViewController::viewDidLoad();
    outlet(m_outlets.logo, "logo")->setTintColor(ui::Color::secondaryLabel());
    startLibrarySizePass();
    auto& preferences = Preferences::shared();
    outlet(m_outlets.continueAudioBackgroundSwitch, "continueAudioBackgroundSwitch")
        ->setOn(preferences.continueAudioBackground.wrappedValue());
    outlet(m_outlets.useEDRSwitch, "useEDRSwitch")->setOn(preferences.useEDR.wrappedValue());
    // On an iPad these rows are not shown, so their switches are left alone.
    if (!isPad()) {
        outlet(m_outlets.reduceHapticsSwitch, "reduceHapticsSwitch")->setOn(preferences.reduceHaptics.wrappedValue());
        outlet(m_outlets.preferLandscapeSwitch, "preferLandscapeSwitch")
            ->setOn(preferences.preferLandscape.wrappedValue());
    }
}

void SettingsTableViewController::startLibrarySizePass() {
    // Taken here, on the main thread, so the pass never needs the screen itself.
    auto documents = requireVideoManager()->documentsClient();
    std::weak_ptr<SettingsTableViewController> weakSelf = sharedAs<SettingsTableViewController>();
    SizePass::start(
        weakSelf, [documents] { return std::vector<std::string>{SizePass::librarySizeText(*documents)}; },
        [weakSelf](const std::vector<std::string>& texts) {
            auto self = weakSelf.lock();
            if (!self) return;
            outlet(self->m_outlets.librarySizeLabel, "librarySizeLabel")->setText(texts.at(0));
        });
}

void SettingsTableViewController::prepareForSegue(ui::StoryboardSegue& segue, const std::shared_ptr<ui::Object>&) {
    if (segue.identifier != "storageSettings") return;
    auto storage = std::dynamic_pointer_cast<StorageSettingsTableViewController>(segue.destination);
    if (!storage) return;
    storage->setVideoManager(videoManager());
    storage->setProgressClient(progressClient());
}

void SettingsTableViewController::continueAudioBackgroundSwitchChanged(ui::Switch& sender) {
    Preferences::shared().continueAudioBackground.setWrappedValue(sender.isOn());
}

void SettingsTableViewController::useEDRSwitchChanged(ui::Switch& sender) {
    Preferences::shared().useEDR.setWrappedValue(sender.isOn());
}

void SettingsTableViewController::reduceHapticsSwitchChanged(ui::Switch& sender) {
    Preferences::shared().reduceHaptics.setWrappedValue(sender.isOn());
}

void SettingsTableViewController::preferLandscapeSwitchChanged(ui::Switch& sender) {
    Preferences::shared().preferLandscape.setWrappedValue(sender.isOn());
}

bool SettingsTableViewController::hidesPlaybackFooter() {
    return ui::PlatformVersion::isAtLeast(16) && ui::Screen::main()->potentialEDRHeadroom() <= 1.0;
}

bool SettingsTableViewController::showsEDRRow() {
    if (!ui::PlatformVersion::isAtLeast(16) || !isViewLoaded()) return false;
    auto window = view()->window();
    return window && window->screen() && window->screen()->potentialEDRHeadroom() > 1.0;
}

int SettingsTableViewController::numberOfRows(ui::TableView& table, int section) {
    const int count = ui::TableViewController::numberOfRows(table, section);
    if (section == playback) return showsEDRRow() ? edrRow + 1 : edrRow;
    if (section == interface && isPad()) return 1;
    return count;
}

std::optional<std::string> SettingsTableViewController::titleForFooter(ui::TableView& table, int section) {
    if (section == numberOfSections(table) - 1)
        return "Reelhaven " +
               foundation::Bundle::main().objectForInfoDictionaryKey("CFBundleShortVersionString").value_or("");
    if (section == playback && hidesPlaybackFooter()) return std::nullopt;
    return ui::TableViewController::titleForFooter(table, section);
}

std::optional<double> SettingsTableViewController::heightForFooter(ui::TableView& table, int section) {
    // Without its text the footer keeps the gap of a section that has none: a height of 0 put the
    // next header right against the playback rows.
    if (section == playback && hidesPlaybackFooter()) return std::nullopt;
    return ui::TableViewController::heightForFooter(table, section);
}

std::optional<double> SettingsTableViewController::heightForRow(ui::TableView&, const ui::IndexPath&) { return 44.0; }

void SettingsTableViewController::willDisplayFooterView(ui::TableView&, ui::View& view, int section) {
    if (section != feedback) return;
    auto* footer = dynamic_cast<ui::TableViewHeaderFooterView*>(&view);
    if (!footer) return;
    const auto font = ui::Font::named("Inter-Medium", 14);
    if (!font) base::fatal("the font Inter-Medium is not installed");
    footer->textLabel()->setFont(*font);
    footer->textLabel()->setTextColor(ui::Color::secondaryLabel());
    footer->textLabel()->setTextAlignment(ui::TextAlignment::center);
}

void SettingsTableViewController::didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) {
    table.deselectRow(indexPath);
    if (indexPath == ui::IndexPath{interface, 0}) {
        if (auto navigation = navigationController())
            navigation->pushViewController(GestureSettingsViewController::create(), true);
    } else if (indexPath == ui::IndexPath{feedback, 0}) {
        openReviewPage();
    }
}

void SettingsTableViewController::openReviewPage() {
    const auto url = foundation::URL::parse(reviewURL);
    if (!url) return;
    auto& application = ui::Application::shared();
    if (!application.canOpenURL(*url)) return;
    application.open(*url);
}

}  // namespace reelhaven
