#include "library/library_file_collection_view_controller.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "core/file_identity.h"
#include "core/preferences.h"
#include "library/import_menu_controller.h"
#include "library/open_url_hosting_controller.h"
#include "library_screen_fixture.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/extended_attributes.h"
#include "platform/network/interface_addresses.h"
#include "platform/ui/controllers/page_view_controller.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/screen/screen_driver.h"
#include "platform/ui/views/visual_effect_view.h"
#include "playback/reelhaven_view_controller.h"
#include "settings/settings_storyboard.h"
#include "settings/settings_table_view_controller.h"
#include "toolkit/empty_data_set.h"
#include "transfer/web_uploader.h"

namespace reelhaven {
namespace {

using Strings = std::vector<std::string>;
using net::InterfaceEntry;

class LibraryRootScreenTest : public library_testing::LibraryScreenTest {
protected:
    std::shared_ptr<WebUploader> uploader = WebUploader::create(documents.string());
    std::shared_ptr<LibraryFileCollectionViewController> root;

    void SetUp() override {
        ui::Application::shared().reset();
        // A free port, so tests never hold the machine's port 80.
        uploader->setPortOverride(0);
    }
    void TearDown() override {
        if (uploader && uploader->isRunning()) uploader->stop();
        LibraryScreenTest::TearDown();
        ui::Application::shared().reset();
    }
    void showRoot() {
        listDocuments();
        root = LibraryFileCollectionViewController::create(nullptr, manager, progressClient, uploader, nullptr);
        screen = root;
        navigation = ui::NavigationController::create(root);
        window = ui::Window::create(ui::Rect(0, 0, 390, 844));
        window->setRootViewController(navigation);
        window->makeKeyAndVisible();
        settle();
    }
    std::shared_ptr<ImportMenuController> openImportMenu() {
        root->importButton()->tap();
        settle();
        auto menu = root->importMenu();
        if (menu) menu->tableView()->layoutIfNeeded();
        return menu;
    }
    std::shared_ptr<ui::TableViewCell> serverRow(ImportMenuController& menu) {
        menu.tableView()->layoutIfNeeded();
        return menu.tableView()->cellForRow(ui::IndexPath(0, 1));
    }
    // A finger on the server row, as a person switches the server: through the window's
    // hit-testing, by the title the row shows now.
    void tapServerRow(ImportMenuController& menu) {
        ui::ScreenDriver driver(window);
        const auto title = serverRow(menu)->textLabel()->text().value_or("");
        ASSERT_TRUE(driver.tap(title).ok()) << driver.screen();
    }
    static std::string detail(ui::TableViewCell& cell) {
        auto label = cell.detailTextLabel();
        if (auto attributed = label->attributedText()) return attributed->string();
        return label->text().value_or("");
    }
    // Runs curl against the server; 0 when it answered with a success status.
    int curl(const std::string& arguments, const std::string& path) {
        const std::string command = "curl -sf -o /dev/null --max-time 20 " + arguments +
                                    " 'http://127.0.0.1:" + std::to_string(uploader->port()) + path + "'";
        return std::system(command.c_str());
    }
    bool gridHas(const std::string& name) {
        const auto names = gridNames();
        return std::find(names.begin(), names.end(), name) != names.end();
    }
};

TEST_F(LibraryRootScreenTest, TheBarHasTheRootButtonsAndSearchDisablesOnlyEdit) {
    showRoot();
    auto item = root->navigationItem();
    EXPECT_EQ(item->title(), "Library");
    EXPECT_EQ(barTitles(item->leftBarButtonItems()), (Strings{"gear", "play.rectangle"}));
    EXPECT_EQ(barTitles(item->rightBarButtonItems()), (Strings{"rectangle.stack", "arrow.down.doc"}));
    searchBar()->beginEditing();
    EXPECT_FALSE(root->editButton()->isEnabled());
    EXPECT_EQ(barTitles(item->leftBarButtonItems()), (Strings{"gear", "play.rectangle"}));
    EXPECT_EQ(barTitles(item->rightBarButtonItems()), (Strings{"rectangle.stack", "arrow.down.doc"}));
}

TEST_F(LibraryRootScreenTest, TheGearPushesTheSettingsScreenWithTheRootServices) {
    registerSettingsStoryboard();
    showRoot();
    ASSERT_TRUE(root->settingsButton()->tap());
    settle();
    ASSERT_EQ(navigation->viewControllers().size(), 2u);
    auto settings = std::dynamic_pointer_cast<SettingsTableViewController>(navigation->topViewController());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->videoManager(), manager);
    EXPECT_EQ(settings->progressClient(), progressClient);
    EXPECT_EQ(settings->navigationItem()->title(), "Settings");

    // Each tap pushes a screen of its own, made afresh from the storyboard.
    navigation->popViewController(false);
    settle();
    ASSERT_TRUE(root->settingsButton()->tap());
    settle();
    ASSERT_EQ(navigation->viewControllers().size(), 2u);
    EXPECT_NE(navigation->topViewController(), settings);
}

TEST_F(LibraryRootScreenTest, TheScreenKeepsTheFolderItIsMadeWith) {
    makeFolder("Box");
    listDocuments();
    auto box = folder("Box");
    ASSERT_TRUE(box);
    EXPECT_EQ(LibraryFileCollectionViewController::create(box, manager, progressClient, uploader, nullptr)->folder(),
              box);
    EXPECT_FALSE(
        LibraryFileCollectionViewController::create(nullptr, manager, progressClient, uploader, nullptr)->folder());
}

TEST_F(LibraryRootScreenTest, TheGearDoesNothingOutsideANavigationController) {
    registerSettingsStoryboard();
    listDocuments();
    root = LibraryFileCollectionViewController::create(nullptr, manager, progressClient, uploader, nullptr);
    screen = root;
    window = ui::Window::create(ui::Rect(0, 0, 390, 844));
    window->setRootViewController(root);
    window->makeKeyAndVisible();
    settle();
    root->showSettings();
    settle();
    EXPECT_EQ(window->rootViewController(), root);
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(LibraryRootScreenTest, AnEmptyLibraryExplainsHowToAddVideosUntilOneArrives) {
    showRoot();
    auto grid = root->collectionView();
    EXPECT_TRUE(EmptyDataSet::isEmptyDataSetVisible(*grid));
    EXPECT_EQ(root->titleForEmptyDataSet(*grid)->string(), "No Videos Yet");
    const auto description = root->descriptionForEmptyDataSet(*grid);
    int symbols = 0;
    for (const auto& run : description->runs()) symbols += run.attributes.count(ui::AttributedStringKey::attachment());
    EXPECT_EQ(symbols, 2);
    EXPECT_NE(description->string().find("You can play a video by tapping "), std::string::npos);

    makeFile("Arrived.mp4");
    root->reloadAfterWebUpload();
    settle();
    EXPECT_FALSE(EmptyDataSet::isEmptyDataSetVisible(*grid));
}

TEST_F(LibraryRootScreenTest, TheServerRowShowsTheLastWiFiAddress) {
    net::ScopedInterfaceList list(
        std::vector<InterfaceEntry>{InterfaceEntry::make("lo", "127.0.0.1", true, true),
                                    InterfaceEntry::make("en0", "not an address"),
                                    InterfaceEntry::make("en0", "192.168.1.20"), InterfaceEntry::make("en0", "fe80::1"),
                                    InterfaceEntry::make("en0", "192.168.1.21"), InterfaceEntry::make("en0", "")},
        "en0");
    showRoot();
    auto menu = openImportMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->tableView()->cellForRow(ui::IndexPath(0, 0))->textLabel()->text(), "Import from Files");
    EXPECT_EQ(serverRow(*menu)->textLabel()->text(), "Enable local Wi-Fi Server");

    ASSERT_NO_FATAL_FAILURE(tapServerRow(*menu));
    ASSERT_TRUE(uploader->isRunning());
    auto cell = serverRow(*menu);
    EXPECT_EQ(cell->textLabel()->text(), "Wi-Fi Server Enabled");
    // Not on port 80, so the address carries the port.
    ASSERT_NE(uploader->port(), 80);
    EXPECT_EQ(detail(*cell), "Visit http://192.168.1.21:" + std::to_string(uploader->port()) +
                                 " using a device on the same Wi-Fi network to transfer files to Reelhaven.");
}

TEST_F(LibraryRootScreenTest, TheImportMenusRowsStartTheirIconsAtTheRowsLeftMarginOf30) {
    showRoot();
    auto menu = openImportMenu();
    ASSERT_TRUE(menu);
    for (const auto& cell : {menu->tableView()->cellForRow(ui::IndexPath(0, 0)), serverRow(*menu)}) {
        ASSERT_TRUE(cell);
        const auto icon = cell->imageView()->superview()->convert(cell->imageView()->frame(), cell.get());
        const auto title = cell->textLabel()->superview()->convert(cell->textLabel()->frame(), cell.get());
        EXPECT_EQ(icon.minX(), 30) << *cell->textLabel()->text();
        EXPECT_GT(icon.width(), 0) << *cell->textLabel()->text();
        EXPECT_GT(title.minX(), icon.maxX()) << *cell->textLabel()->text();
    }
}

TEST(ImportMenuAddressText, PortEightyIsLeftOutAndTheLinkIsBold) {
    const auto text = ImportMenuController::addressText("10.0.0.2", 80);
    EXPECT_EQ(text->string(),
              "Visit http://10.0.0.2 using a device on the same Wi-Fi network to transfer files to Reelhaven.");
    ASSERT_EQ(text->runs().size(), 3u);
    EXPECT_EQ(text->runs()[1].text, "http://10.0.0.2");
    const auto font = std::any_cast<ui::Font>(text->runs()[1].attributes.at(ui::AttributedStringKey::font()));
    EXPECT_EQ(font.fontName(), "Inter-SemiBold");
    EXPECT_EQ(ImportMenuController::addressText("10.0.0.2", 8080)->runs()[1].text, "http://10.0.0.2:8080");
}

TEST_F(LibraryRootScreenTest, WithoutAnIPv4WiFiAddressTheRowSaysSo) {
    net::ScopedInterfaceList list(
        std::vector<InterfaceEntry>{InterfaceEntry::make("en0", "fe80::1"), InterfaceEntry::make("en1", "10.0.0.2")},
        "en0");
    showRoot();
    auto menu = openImportMenu();
    ASSERT_NO_FATAL_FAILURE(tapServerRow(*menu));
    EXPECT_EQ(detail(*serverRow(*menu)), "You aren't connected to a Wi-Fi network.");
}

TEST_F(LibraryRootScreenTest, TheRowTogglesTheRealServerAndTheIdleTimerFollowsIt) {
    showRoot();
    auto menu = openImportMenu();
    ASSERT_NO_FATAL_FAILURE(tapServerRow(*menu));
    ASSERT_TRUE(uploader->isRunning());
    EXPECT_TRUE(ui::Application::shared().isIdleTimerDisabled());
    EXPECT_EQ(curl("", "/"), 0);  // the upload page answers

    // The player holding the timer too and letting go does not end the server's hold.
    ui::Application::shared().setIdleTimerHeld("player", true);
    ui::Application::shared().setIdleTimerHeld("player", false);
    EXPECT_TRUE(ui::Application::shared().isIdleTimerDisabled());

    ASSERT_NO_FATAL_FAILURE(tapServerRow(*menu));
    EXPECT_FALSE(uploader->isRunning());
    EXPECT_FALSE(ui::Application::shared().isIdleTimerDisabled());
    EXPECT_EQ(serverRow(*menu)->textLabel()->text(), "Enable local Wi-Fi Server");
}

TEST_F(LibraryRootScreenTest, StoppingTheServerTakesItsAddressOffTheRow) {
    net::ScopedInterfaceList list(std::vector<InterfaceEntry>{InterfaceEntry::make("en0", "192.168.1.20")}, "en0");
    showRoot();
    auto menu = openImportMenu();
    ASSERT_NO_FATAL_FAILURE(tapServerRow(*menu));
    ASSERT_NE(detail(*serverRow(*menu)).find("Visit http://192.168.1.20"), std::string::npos);

    ASSERT_NO_FATAL_FAILURE(tapServerRow(*menu));
    ASSERT_FALSE(uploader->isRunning());
    auto cell = serverRow(*menu);
    EXPECT_EQ(cell->textLabel()->text(), "Enable local Wi-Fi Server");
    EXPECT_EQ(detail(*cell), "");
    EXPECT_FALSE(cell->detailTextLabel()->attributedText());
}

TEST_F(LibraryRootScreenTest, TheImportMenuIsOnTheDarkBlurWithFullWidthLinesAndNoneUnderTheLastRow) {
    showRoot();
    auto menu = openImportMenu();
    ASSERT_TRUE(menu);
    auto table = menu->tableView();
    auto blur = std::dynamic_pointer_cast<ui::VisualEffectView>(table->backgroundView());
    ASSERT_TRUE(blur);
    EXPECT_EQ(blur->effect(), ui::VisualEffectView::BlurStyle::dark);
    const auto line = table->separatorFrame(ui::IndexPath(0, 0));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->origin.x, 0);
    EXPECT_EQ(line->size.width, table->bounds().size.width);
    EXPECT_FALSE(table->separatorFrame(ui::IndexPath(0, 1)));
}

TEST_F(LibraryRootScreenTest, UploadsAndMovesThroughABrowserRefreshTheGrid) {
    makeFolder("Box");
    showRoot();
    root->toggleWebServer();
    ASSERT_TRUE(uploader->isRunning());
    testing_support::writeFile(dir / "upload" / "Sent.mp4", "bytes");
    ASSERT_EQ(curl("-F 'files[]=@" + (dir / "upload" / "Sent.mp4").string() + "' -F path=/", "/upload"), 0);
    ASSERT_TRUE(loop.runUntil([&] { return gridHas("Sent"); }));

    ASSERT_EQ(curl("-d oldPath=/Sent.mp4 -d newPath=/Box/Sent.mp4", "/move"), 0);
    ASSERT_TRUE(loop.runUntil([&] { return !gridHas("Sent"); }));
    EXPECT_TRUE(exists("Box/Sent.mp4"));
    EXPECT_EQ(gridNames(), Strings{"Box"});
}

TEST_F(LibraryRootScreenTest, ImportingMovesCopiesAndKeepsTheOriginals) {
    showRoot();
    testing_support::writeFile(dir / "elsewhere" / "One.mp4", "1");
    testing_support::writeFile(dir / "elsewhere" / "Two.mkv", "2");
    testing_support::writeFile(dir / "elsewhere" / "notes.txt", "not a video");
    auto menu = openImportMenu();
    menu->tableView()->tapRow(ui::IndexPath(0, 0));
    settle();
    auto picker = root->importPicker();
    auto sheet = std::dynamic_pointer_cast<ui::NavigationController>(root->presentedViewController());
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->topViewController(), picker);
    EXPECT_EQ(picker->navigationItem()->title(), "Import Files");
    picker->pick({urlOf(dir / "elsewhere" / "One.mp4"), urlOf(dir / "elsewhere" / "Two.mkv"),
                  urlOf(dir / "elsewhere" / "notes.txt")});
    // The picker copies on its own queue and hands the copies back on the main queue.
    ASSERT_TRUE(loop.runUntil([] { return ui::TransitionsInFlight::count() == 0; }));
    settle();
    EXPECT_TRUE(exists("One.mp4"));
    EXPECT_TRUE(exists("Two.mkv"));
    EXPECT_FALSE(exists("notes.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "elsewhere" / "One.mp4"));
    EXPECT_TRUE(std::filesystem::exists(dir / "elsewhere" / "Two.mkv"));
    EXPECT_EQ(gridNames(), (Strings{"One", "Two"}));
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(LibraryRootScreenTest, ThePlaySheetOpensOnThePageChosenLast) {
    Preferences::shared().playExternalFileIndex.setWrappedValue(0);
    showRoot();
    const auto page = [&]() -> std::shared_ptr<ui::ViewController> {
        auto sheet = std::dynamic_pointer_cast<ui::NavigationController>(root->presentedViewController());
        if (!sheet) return nullptr;
        auto pages = std::dynamic_pointer_cast<ui::PageViewController>(sheet->viewControllers().front());
        return pages && !pages->viewControllers().empty() ? pages->viewControllers().front() : nullptr;
    };
    ASSERT_TRUE(root->playButton()->tap());
    settle();
    EXPECT_EQ(page(), root->openPicker());
    EXPECT_EQ(root->playModalControl()->selectedSegmentIndex(), 0);

    ASSERT_TRUE(root->playModalControl()->selectSegment(1));
    settle();
    EXPECT_EQ(page(), root->openURLController());
    EXPECT_EQ(Preferences::shared().playExternalFileIndex.wrappedValue(), 1);
    root->dismiss(false);
    settle();

    // A new screen, as after a restart, opens on the address page.
    showRoot();
    ASSERT_TRUE(root->playButton()->tap());
    settle();
    EXPECT_EQ(page(), root->openURLController());
    EXPECT_EQ(root->playModalControl()->selectedSegmentIndex(), 1);
    root->dismiss(false);

    // A stored number the sheet has no page for opens the first page with its segment selected.
    for (const std::int64_t stored : {std::int64_t{1} << 32, std::int64_t{7}, std::int64_t{-1}}) {
        Preferences::shared().playExternalFileIndex.setWrappedValue(stored);
        settle();
        ASSERT_TRUE(root->playButton()->tap());
        settle();
        EXPECT_TRUE(page() == root->openPicker()) << stored;
        EXPECT_EQ(root->playModalControl()->selectedSegmentIndex(), 0) << stored;
        root->dismiss(false);
        settle();
    }
    Preferences::shared().playExternalFileIndex.setWrappedValue(0);
}

class PlayerPresentationTest : public LibraryRootScreenTest {
protected:
    std::shared_ptr<ReelhavenViewController> player() {
        return std::dynamic_pointer_cast<ReelhavenViewController>(root->presentedViewController());
    }
    void TearDown() override {
        if (auto shown = player()) {
            settle();  // the presentation has ended
            auto session = shown->session();
            if (shown->mpv()) shown->close(false);
            if (session) session->commandQueue()->sync([] {});
            for (int round = 0; round < 10 && root->presentedViewController(); ++round) settle();
            EXPECT_EQ(root->presentedViewController(), nullptr);
            shown->waitForProgressSaves();  // they must not outlive the container or the process
        }
        LibraryRootScreenTest::TearDown();
    }
};

TEST_F(PlayerPresentationTest, TappingAVideoPresentsThePlayerForIt) {
    copyClip("wide.mp4", "Clip.mp4");
    showRoot();
    ASSERT_TRUE(tap("Clip"));
    auto shown = player();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->modalTransitionStyle(), ui::ModalTransitionStyle::crossDissolve);
    EXPECT_EQ(shown->playbackInfo()->video(), video("Clip"));
    EXPECT_FALSE(shown->playbackInfo()->isRestored());
    EXPECT_TRUE(shown->playbackInfo()->hideControls());
}

TEST_F(PlayerPresentationTest, AnAddressPlaysOnceThePlaySheetHasGone) {
    Preferences::shared().playExternalFileIndex.setWrappedValue(1);
    showRoot();
    ASSERT_TRUE(root->playButton()->tap());
    settle();
    const auto file = testing_support::testMedia("wide.mp4");
    auto sheet = root->presentedViewController();
    ASSERT_TRUE(sheet);
    root->openURLController()->rootView()->delegate()->didChange.send("file://" + file.string());
    // The sheet slides away, animated: it is still on its way out a moment later.
    loop.runUntilIdle();
    loop.advanceSeconds(ui::ViewController::transitionDuration / 2);
    EXPECT_EQ(root->presentedViewController(), sheet);
    EXPECT_TRUE(sheet->isBeingDismissed());
    settle();
    Preferences::shared().playExternalFileIndex.setWrappedValue(0);
    auto shown = player();
    ASSERT_TRUE(shown);
    EXPECT_TRUE(shown->playbackInfo()->video()->isSecurityScoped());
    EXPECT_EQ(shown->playbackInfo()->url().path(), file.string());
    // A file from elsewhere is played without an identity attribute written to it.
    EXPECT_FALSE(foundation::ExtendedAttributes::get(file.string(), FileIdentity::kAttributeName));
}

TEST_F(LibraryRootScreenTest, ThePickersOfferTheVideoTypesInOrder) {
    const auto& types = LibraryFileCollectionViewController::supportedVideoTypes();
    ASSERT_EQ(types.size(), 18u);
    EXPECT_EQ(types.front(), "public.movie");
    EXPECT_EQ(types[2], "app.reelhaven.matroska");
    EXPECT_EQ(types.back(), "app.reelhaven.3gpp2");
    showRoot();
    EXPECT_TRUE(root->openPicker()->canPick(urlOf(documents / "a.mkv")));
    EXPECT_TRUE(root->openPicker()->canPick(urlOf(documents / "a.webm")));
    EXPECT_FALSE(root->openPicker()->canPick(urlOf(documents / "a.txt")));
    EXPECT_FALSE(root->openPicker()->allowsMultipleSelection());
    EXPECT_TRUE(root->importPicker()->allowsMultipleSelection());
}

}  // namespace
}  // namespace reelhaven
