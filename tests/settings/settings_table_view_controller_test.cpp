#include "settings/settings_table_view_controller.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/preferences.h"
#include "platform/base/fatal.h"
#include "platform/foundation/bundle.h"
#include "platform/foundation/byte_count_formatter.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/screen.h"
#include "settings/gesture_settings_view_controller.h"
#include "settings/storage_settings_table_view_controller.h"
#include "settings_test_support.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using settings_testing::SettingsScreenTest;
using Section = SettingsTableViewController::Section;

std::int64_t allocatedBytes(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    return static_cast<std::int64_t>(info.st_blocks) * 512;
}

using MainSettingsTest = SettingsScreenTest;

TEST_F(MainSettingsTest, APhoneShowsTheInterfaceSwitchesAndTheyStartFromTheSettings) {
    Preferences::shared().reduceHaptics.setWrappedValue(true);
    Preferences::shared().useEDR.setWrappedValue(true);
    auto settings = openSettings();
    auto table = settings->tableView();
    EXPECT_EQ(settings->navigationItem()->title(), "Settings");
    EXPECT_EQ(table->numberOfSections(), 4);
    EXPECT_EQ(table->numberOfItems(Section::storageUsage), 1);
    EXPECT_EQ(table->numberOfItems(Section::interface), 3);
    EXPECT_EQ(table->numberOfItems(Section::feedback), 1);
    EXPECT_EQ(settings->view()->backgroundColor(), ui::Color::systemGray6());
    EXPECT_EQ(settings->preferredStatusBarStyle(), ui::ViewController::StatusBarStyle::lightContent);
    const auto& outlets = settings->outlets();
    EXPECT_TRUE(outlets.reduceHapticsSwitch.lock()->isOn());
    EXPECT_FALSE(outlets.preferLandscapeSwitch.lock()->isOn());
    EXPECT_TRUE(outlets.useEDRSwitch.lock()->isOn());
    EXPECT_FALSE(outlets.continueAudioBackgroundSwitch.lock()->isOn());
    EXPECT_EQ(outlets.logo.lock()->tintColor(), ui::Color::secondaryLabel());
    EXPECT_EQ(table->frameForItem({Section::playback, 0})->size.height, 44);
}

TEST_F(MainSettingsTest, TheEDRRowAndFooterFollowTheScreensHeadroomFromVersion16) {
    {
        ui::ScopedPlatformVersion version({16, 0, 0});
        ui::Screen::main()->setPotentialEDRHeadroom(1.0);
        auto settings = openSettings();
        auto table = settings->tableView();
        EXPECT_EQ(table->numberOfItems(Section::playback), 2);
        EXPECT_EQ(table->footerTitle(Section::playback), std::nullopt);
        // The footer goes, not the gap between the sections: the table's own, as under a section
        // without a footer.
        EXPECT_EQ(settings->heightForFooter(*table, Section::playback), std::nullopt);

        ui::Screen::main()->setPotentialEDRHeadroom(2.0);
        table->reloadData();
        EXPECT_EQ(table->numberOfItems(Section::playback), 3);
        const auto footer = table->footerTitle(Section::playback);
        ASSERT_TRUE(footer);
        EXPECT_EQ(*footer, settings->staticSections()[Section::playback].footerTitle);
        EXPECT_EQ(settings->heightForFooter(*table, Section::playback), std::nullopt);  // the table's own
    }
    {
        ui::ScopedPlatformVersion version({15, 4, 0});
        auto settings = openSettings();
        auto table = settings->tableView();
        EXPECT_EQ(table->numberOfItems(Section::playback), 2);  // no EDR before 16, however bright
        EXPECT_TRUE(table->footerTitle(Section::playback).has_value());
    }
}

// Each header stands as far below the section above it as every other, whether the playback
// section shows its footer or not (the hidden footer took the gap with it, so "Interface" sat
// right under the playback rows).
TEST_F(MainSettingsTest, EverySectionHeaderHasTheSameGapAboveIt) {
    for (const auto& [version, headroom] : {std::pair(16, 1.0), std::pair(15, 1.0), std::pair(16, 2.0)}) {
        SCOPED_TRACE("version " + std::to_string(version) + ", headroom " + std::to_string(headroom));
        ui::ScopedPlatformVersion platform({version, 0, 0});
        ui::Screen::main()->setPotentialEDRHeadroom(headroom);
        auto settings = openSettings();
        const bool footer = settings->tableView()->footerTitle(Section::playback).has_value();
        const auto gaps = settings_testing::gapsAboveHeaders(*settings->tableView());
        ASSERT_EQ(gaps.size(), 3u);
        EXPECT_DOUBLE_EQ(gaps[0], ui::TableView::groupedSectionSpacing) << "above Playback";
        // Under a footer the gap holds its text.
        if (footer) {
            EXPECT_GT(gaps[1], ui::TableView::groupedSectionSpacing) << "above Interface";
        } else {
            EXPECT_DOUBLE_EQ(gaps[1], ui::TableView::groupedSectionSpacing) << "above Interface";
        }
        EXPECT_DOUBLE_EQ(gaps[2], ui::TableView::groupedSectionSpacing) << "above Feedback";
        navigation->popViewController(false);
        settle();
    }
}

TEST_F(MainSettingsTest, RowsAskTheWindowsScreenWhileTheFooterAsksTheMainScreen) {
    ui::ScopedPlatformVersion version({16, 0, 0});
    ui::Screen::main()->setPotentialEDRHeadroom(2.0);
    auto dim = ui::Screen::create(ui::Rect(0, 0, 390, 844), 3);
    dim->setPotentialEDRHeadroom(1.0);
    window->setScreen(dim);
    auto settings = openSettings();
    EXPECT_EQ(settings->tableView()->numberOfItems(Section::playback), 2);
    EXPECT_TRUE(settings->tableView()->footerTitle(Section::playback).has_value());
}

TEST_F(MainSettingsTest, TheLastFooterNamesTheVersionAndKeepsItsWordWithoutOne) {
    {
        foundation::ScopedBundleInfo info(foundation::Bundle::InfoDictionary{{"CFBundleShortVersionString", "2.4.1"}});
        auto settings = openSettings();
        EXPECT_EQ(settings->tableView()->footerTitle(Section::feedback), "Reelhaven 2.4.1");
        auto footer = std::dynamic_pointer_cast<ui::TableViewHeaderFooterView>(
            settings->tableView()->footerView(Section::feedback));
        ASSERT_TRUE(footer);
        settings->willDisplayFooterView(*settings->tableView(), *footer, Section::feedback);
        EXPECT_EQ(footer->textLabel()->font().fontName(), "Inter-Medium");
        EXPECT_EQ(footer->textLabel()->textAlignment(), ui::TextAlignment::center);
        EXPECT_EQ(footer->textLabel()->textColor(), ui::Color::secondaryLabel());
    }
    foundation::ScopedBundleInfo missing(foundation::Bundle::InfoDictionary{{"CFBundleName", "Reelhaven"}});
    auto settings = openSettings();
    EXPECT_EQ(settings->tableView()->footerTitle(Section::feedback), "Reelhaven ");
}

TEST_F(MainSettingsTest, HeadersTakeTheSettingsFontAndOtherFootersKeepTheSystemLook) {
    ui::Screen::main()->setPotentialEDRHeadroom(2.0);
    auto settings = openSettings();
    auto table = settings->tableView();
    auto header = std::dynamic_pointer_cast<ui::TableViewHeaderFooterView>(table->headerView(Section::playback));
    ASSERT_TRUE(header);
    settings->willDisplayHeaderView(*table, *header, Section::playback);
    EXPECT_EQ(header->textLabel()->font().fontName(), "Inter-SemiBold");
    EXPECT_EQ(header->textLabel()->font().pointSize(), 14);
    EXPECT_EQ(header->textLabel()->textColor(), ui::Color::secondaryLabel());
    auto footer = std::dynamic_pointer_cast<ui::TableViewHeaderFooterView>(table->footerView(Section::playback));
    ASSERT_TRUE(footer);
    const auto before = footer->textLabel()->font();
    settings->willDisplayFooterView(*table, *footer, Section::playback);
    EXPECT_EQ(footer->textLabel()->font(), before);
}

TEST_F(MainSettingsTest, MarginsFollowTheWidthAndInBetweenTheOrientation) {
    struct Case {
        double width;
        ui::InterfaceOrientation orientation;
        double margin;
    };
    // Each step changes the width, as a rotation does.
    const std::vector<Case> cases{
        {1024, ui::InterfaceOrientation::portrait, 200},     {768, ui::InterfaceOrientation::landscapeLeft, 60},
        {1000, ui::InterfaceOrientation::portrait, 100},     {768, ui::InterfaceOrientation::portrait, 0},
        {414, ui::InterfaceOrientation::landscapeLeft, 0},   {415, ui::InterfaceOrientation::landscapeLeft, 60},
        {768, ui::InterfaceOrientation::landscapeRight, 60}, {1023, ui::InterfaceOrientation::landscapeRight, 100}};
    auto settings = openSettings();
    for (const auto& c : cases) {
        resizeWindow(c.width, 800, c.orientation);
        ASSERT_EQ(settings->view()->frame().size.width, c.width);
        EXPECT_EQ(settings->tableView()->layoutMargins(), (ui::EdgeInsets{0, c.margin, 0, c.margin})) << c.width;
    }
}

TEST_F(MainSettingsTest, EachSwitchWritesItsKeyToTheDefaultsFile) {
    auto settings = openSettings();
    const auto& outlets = settings->outlets();
    const std::vector<std::pair<std::shared_ptr<ui::Switch>, std::string>> switches{
        {outlets.continueAudioBackgroundSwitch.lock(), "CONTINUE_AUDIO_BACKGROUND"},
        {outlets.useEDRSwitch.lock(), "USE_EDR"},
        {outlets.reduceHapticsSwitch.lock(), "REDUCE_HAPTICS"},
        {outlets.preferLandscapeSwitch.lock(), "PREFER_LANDSCAPE"}};
    for (const auto& [toggle, key] : switches) {
        ASSERT_TRUE(toggle) << key;
        EXPECT_EQ(settings_testing::storedDefaults().value(key, true), false) << key;
        toggle->tap();
        EXPECT_EQ(settings_testing::storedDefaults().value(key, false), true) << key;
    }
    // The other switches' keys stayed as they were when one switch changed.
    outlets.useEDRSwitch.lock()->tap();
    const auto stored = settings_testing::storedDefaults();
    EXPECT_FALSE(stored.value("USE_EDR", true));
    EXPECT_TRUE(stored.value("REDUCE_HAPTICS", false));

    auto again = openSettings();
    EXPECT_FALSE(again->outlets().useEDRSwitch.lock()->isOn());
    EXPECT_TRUE(again->outlets().preferLandscapeSwitch.lock()->isOn());
}

TEST_F(MainSettingsTest, TheGesturesRowPushesTheGestureScreen) {
    auto settings = openSettings();
    ASSERT_TRUE(settings->tableView()->tapRow({Section::interface, 0}));
    EXPECT_TRUE(std::dynamic_pointer_cast<GestureSettingsViewController>(navigation->topViewController()));
    EXPECT_TRUE(settings->tableView()->selectedIndexPaths().empty());
    auto cell = settings->tableView()->cellForRow({Section::interface, 0});
    ASSERT_TRUE(cell->selectedBackgroundView());
    constexpr double grey = 76.0 / 255.0;
    EXPECT_EQ(cell->selectedBackgroundView()->backgroundColor(), ui::Color::rgba(grey, grey, grey, 1));
    EXPECT_TRUE(cell->selectedBackgroundView()->clipsToBounds());
}

TEST_F(MainSettingsTest, TheStorageRowHandsTheServicesToTheStorageScreen) {
    auto settings = openSettings();
    ASSERT_TRUE(settings->tableView()->tapRow({Section::storageUsage, 0}));
    auto storage = std::dynamic_pointer_cast<StorageSettingsTableViewController>(navigation->topViewController());
    ASSERT_TRUE(storage);
    EXPECT_EQ(storage->videoManager(), videoManager);
    EXPECT_EQ(storage->progressClient(), progressClient);
}

TEST_F(MainSettingsTest, TheReviewPageOpensOnlyWhenTheSystemCanOpenIt) {
    auto settings = openSettings();
    auto& application = ui::Application::shared();
    settings->tableView()->tapRow({Section::feedback, 0});
    EXPECT_TRUE(application.openedURLs().empty());  // nothing can open it

    std::vector<std::string> opened;
    application.setURLOpener([&](const foundation::URL& url) {
        opened.push_back(url.absoluteString());
        return true;
    });
    settings->tableView()->tapRow({Section::feedback, 0});
    loop.runUntilIdle();
    EXPECT_EQ(opened, std::vector<std::string>{SettingsTableViewController::reviewURL});
    EXPECT_EQ(navigation->topViewController(), settings);
}

TEST_F(MainSettingsTest, TheLibrarySizeCountsEveryFileOfTheWholeTree) {
    const auto documents = settings_testing::documentsFolder();
    testing_support::writeFile(documents / "movie.mp4", std::string(300'000, 'x'));
    testing_support::writeFile(documents / "Shows" / "Season 1" / "episode.mkv", std::string(700'000, 'y'));
    const auto expected =
        allocatedBytes(documents / "movie.mp4") + allocatedBytes(documents / "Shows" / "Season 1" / "episode.mkv");
    ASSERT_GE(expected, 1'000'000);
    auto settings = openSettings();
    auto label = settings->outlets().librarySizeLabel.lock();
    drainWork();
    EXPECT_EQ(label->text(),
              foundation::ByteCountFormatter::string(expected, foundation::ByteCountFormatter::CountStyle::file));
}

TEST_F(MainSettingsTest, AScreenClosedBeforeTheSizePassEndsIsNeitherKeptNorUpdated) {
    testing_support::writeFile(settings_testing::documentsFolder() / "movie.mp4", std::string(5000, 'x'));
    settings_testing::QueueGate gate(workQueue);
    auto settings = openSettings();
    auto label = settings->outlets().librarySizeLabel.lock();
    label->setText("measuring");
    navigation->popViewController(false);
    std::weak_ptr<SettingsTableViewController> closed = settings;
    settings.reset();
    EXPECT_TRUE(closed.expired());
    gate.open();
    drainWork();
    EXPECT_EQ(label->text(), "measuring");
}

TEST_F(MainSettingsTest, AScreenWithoutItsManagerIsAProgrammingError) {
    auto settings = ui::Storyboard::named("Settings")->instantiate<SettingsTableViewController>("settings");
    base::ScopedFatalThrows throws;
    EXPECT_THROW(settings->loadViewIfNeeded(), base::FatalError);
}

}  // namespace
}  // namespace reelhaven
