// The keyboard in the window as a person uses it: Enter in an alert takes the action drawn in
// bold and never one that deletes; the player's keys reach the player after a search; the editing
// shortcuts follow the keyboard's layout; and the Open URL sheet's paste button offers what the
// desktop's clipboard holds. Keys go in as the window system delivers them (SDL's key and text
// events), clicks through the window's pointer. The app runs in this process in a real window.
// Without a display (the display stage runs these under Xvfb and Weston) the cases skip.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/app_delegate.h"
#include "core/progress_client.h"
#include "library/open_url_hosting_controller.h"
#include "library/open_url_view.h"
#include "platform/dispatch/queue.h"
#include "platform/display/clipboard.h"
#include "platform/display/display_host.h"
#include "platform/foundation/url.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/scenes/pasteboard.h"
#include "playback/model/playback_info.h"
#include "support/display_stage.h"
#include "support/test_media.h"
#include "support/x_clipboard.h"
#include "support/x_keyboard.h"
#include "window_keyboard_host.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;

// HID usage codes (SDL's scancodes) of the keys pressed here.
enum Usage : int { keyA = 4, keyC = 6, keyQ = 20, keyV = 25, keyX = 27, backspace = 42 };

class WindowKeysDisplay : public ::testing::Test, protected WindowKeyboardHost {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(documents);
        fs::copy_file(testing_support::testMedia("long.mp4"), documents / "Clip.mp4");
    }
    void start() {
        auto options = windowOptions();
        ASSERT_TRUE(launch(options)) << err.str();
    }
    void TearDown() override {
        closePlayer();
        shutDown();
    }
    std::shared_ptr<ui::AlertController> alert() const {
        return std::dynamic_pointer_cast<ui::AlertController>(host->window()->topPresentedViewController());
    }
    // How much the title of the alert's action `index` inks its button, as painted now: the
    // pixels far from the button's own background. A bold title inks more than the same title
    // in the regular weight.
    long inkOfAction(size_t index) {
        const auto shown = alert();
        if (!shown) return 0;
        const auto image = window().capture();
        const auto& targets = window().chromeTargets();
        const size_t actions = shown->actions().size();
        if (targets.size() < actions) return 0;
        // The alert's buttons are its last targets, in the order of its actions.
        const auto rect = targets[targets.size() - actions + index].rect;
        const double scale = image.width() / host->window()->bounds().size.width;
        const int left = static_cast<int>(rect.origin.x * scale) + 2, right = static_cast<int>(rect.maxX() * scale) - 2;
        const int top = static_cast<int>(rect.origin.y * scale) + 2, bottom = static_cast<int>(rect.maxY() * scale) - 2;
        const auto background = image.pixel(left + 1, (top + bottom) / 2);
        long ink = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = left; x < right; ++x) {
                const auto p = image.pixel(x, y);
                ink += std::abs(p.r - background.r) + std::abs(p.g - background.g) + std::abs(p.b - background.b) > 90;
            }
        }
        return ink;
    }
    // Serves the window, whose events bring what the X server delivers, until `done`; false when
    // 20 s passed first (a timer then wakes the window's wait, which no event would end).
    bool serveUntil(const std::function<bool()>& done) {
        auto late = std::make_shared<bool>(false);
        dispatch::Queue::main()->asyncAfter(20.0, [late] { *late = true; });
        window().serveUntil([&] { return done() || *late; });
        return done();
    }
    // Opens the edit mode's "Delete 1 item" alert for the clip.
    void confirmDeletingTheClip() {
        ASSERT_TRUE(command("click " + handleOf(root()->editButton().get())));
        ASSERT_TRUE(command("click " + handle("VideoCollectionViewCell")));
        ASSERT_TRUE(command("click " + handle("BarButtonItem", "[^\\n]*\"Delete\"")));
        ASSERT_TRUE(alert()) << screen();
        ASSERT_EQ(alert()->alertTitle(), "Delete 1 item");
    }
};

TEST_F(WindowKeysDisplay, EnterDeletesNothingAndRenamesAndTheBoldButtonIsTheOneEnterTakes) {
    start();
    confirmDeletingTheClip();
    const long boldCancel = inkOfAction(0);
    // Enter takes nothing that deletes: the selection stays and so does the alert.
    press(ui::Key::returnOrEnter);
    press(ui::Key::keypadEnter);
    EXPECT_TRUE(alert()) << screen();
    EXPECT_TRUE(fs::exists(documents / "Clip.mp4"));
    // Escape cancels.
    press(ui::Key::escape);
    ASSERT_TRUE(waitFor([&] { return !alert(); })) << screen();
    EXPECT_TRUE(fs::exists(documents / "Clip.mp4"));
    ASSERT_TRUE(command("click " + handle("BarButtonItem", "right \"Done\"")));

    // Rename: Enter confirms the typed name, and that is the button drawn in bold.
    ASSERT_TRUE(command("menu " + handle("VideoCollectionViewCell")));
    ASSERT_TRUE(command("click \"Rename\""));
    ASSERT_TRUE(alert()) << screen();
    ASSERT_EQ(alert()->alertTitle(), "Rename");
    const long regularCancel = inkOfAction(0);
    EXPECT_GT(boldCancel, regularCancel * 1.1) << "Cancel is bold only where Enter takes nothing";
    const long boldConfirm = inkOfAction(1);
    press(keyA, ui::Key::control);
    type("Renamed");
    press(ui::Key::returnOrEnter);
    ASSERT_TRUE(waitFor([&] { return fs::exists(documents / "Renamed.mp4"); })) << screen();
    EXPECT_FALSE(alert());

    // The same title drawn regular, in the delete alert.
    confirmDeletingTheClip();
    const long regularConfirm = inkOfAction(1);
    press(ui::Key::escape);
    ASSERT_TRUE(waitFor([&] { return !alert(); })) << screen();
    EXPECT_GT(boldConfirm, regularConfirm * 1.1) << "Confirm is bold where Enter takes it";
}

TEST_F(WindowKeysDisplay, EnterOnDeleteCachedDataKeepsEveryProgressRecord) {
    // The last run left the clip at 41.5 s.
    const auto key = ProgressClient::progressKey(foundation::URL::fileURLWithPath((documents / "Clip.mp4").string()));
    const auto progressFile = home / "Library/Application Support/progressData";
    fs::create_directories(progressFile.parent_path());
    std::ofstream(progressFile)
        << R"({")" + key + R"(":{"progress":{"seconds":41.5},"duration":{"seconds":65},"isFinished":false}})";
    start();
    ASSERT_TRUE(command("click " + handleOf(root()->settingsButton().get())));
    ASSERT_TRUE(command("click " + handle("TableViewCell", "[^\\n]*\\[0,0\\]")));  // the library's size
    ASSERT_NE(screen().find("NavigationBar \"Storage\""), std::string::npos) << screen();
    ASSERT_TRUE(command("click \"Delete Cached Data\""));
    ASSERT_TRUE(alert()) << screen();
    ASSERT_EQ(alert()->alertTitle(), "Delete cached data");
    press(ui::Key::returnOrEnter);
    EXPECT_TRUE(alert()) << "Enter takes nothing that deletes\n" << screen();
    press(ui::Key::escape);
    ASSERT_TRUE(waitFor([&] { return !alert(); })) << screen();
    EXPECT_TRUE(fs::exists(progressFile));
    const auto clip = Video::create(foundation::URL::fileURLWithPath((documents / "Clip.mp4").string()),
                                    LibraryItemType::file, false);
    const auto record = AppDelegate::shared()->progressClient()->progress(*clip);
    ASSERT_TRUE(record);
    EXPECT_DOUBLE_EQ(record->progress.seconds, 41.5);
}

TEST_F(WindowKeysDisplay, AfterASearchThePlayersKeysReachThePlayerNotTheHiddenSearchField) {
    fs::copy_file(testing_support::testMedia("wide.mp4"), documents / "Other.mp4");
    start();
    auto search = root()->navigationItem()->searchController()->searchBar();
    ASSERT_TRUE(command("click " + handleOf(search.get())));
    type("Cli");
    ASSERT_EQ(search->text(), "Cli");
    ASSERT_TRUE(command("click " + handle("VideoCollectionViewCell")));
    ASSERT_TRUE(waitFor([&] { return player() && player()->playbackInfo()->duration().value_or(0) > 60; })) << screen();
    auto info = player()->playbackInfo();

    press(ui::Key::spacebar);
    type(" ");  // what the space bar types comes too
    ASSERT_TRUE(waitFor([&] { return info->isPaused(); })) << "Space pauses";
    const double start = info->progress();
    // Each skips by the skip interval, 15 s unless the user chose another.
    for (int i = 0; i < 3; ++i) press(ui::Key::rightArrow);
    ASSERT_TRUE(waitFor([&] { return info->progress() >= start + 40; }))
        << "three Right presses skip forward from " << start << "; at " << info->progress();
    press(ui::Key::leftArrow);
    ASSERT_TRUE(waitFor([&] { return info->progress() <= start + 35; }))
        << "Left skips back from " << start << "; at " << info->progress();
    EXPECT_GE(info->progress(), start + 25);
    press(ui::Key::spacebar);
    ASSERT_TRUE(waitFor([&] { return !info->isPaused(); })) << "Space plays again";
    EXPECT_EQ(search->text(), "Cli") << "nothing typed reached the search under the player";

    // Once the player goes, the search has the keys again.
    closePlayer();
    ASSERT_TRUE(waitFor([&] { return !player(); }));
    type("p");
    EXPECT_EQ(search->text(), "Clip");
}

TEST_F(WindowKeysDisplay, EditingShortcutsFollowTheKeyboardLayoutAndTheMovingKeysTheirPlace) {
    start();
    ASSERT_TRUE(command("click " + handleOf(root()->editButton().get())));
    ASSERT_TRUE(command("click " + handle("BarButtonItem", "[^\\n]*sym:folder.badge.plus")));
    ASSERT_TRUE(alert()) << screen();
    auto field = alert()->textFields().at(0);
    // Each step: a key (its place, the symbol the layout gives it, Control or not), what is typed
    // after it, and the field's text then.
    struct Step {
        const char* what;
        int usage;
        std::optional<char32_t> symbol;
        std::uint32_t modifiers;
        std::string typed;
        std::string text;
    };
    const Step steps[] = {
        {"typed", 0, std::nullopt, ui::Key::none, "holiday", "holiday"},
        // French layout: the key where Q lies on an English one gives "a".
        {"AZERTY Ctrl+A selects all", keyQ, U'a', ui::Key::control, "x", "x"},
        {"typed", 0, std::nullopt, ui::Key::none, "yz", "xyz"},
        {"AZERTY Ctrl+Q selects nothing", keyA, U'q', ui::Key::control, "!", "xyz!"},
        {"Left moves by its place", ui::Key::leftArrow, std::nullopt, ui::Key::none, "-", "xyz-!"},
        {"Ctrl+A by the letter", keyA, U'a', ui::Key::control, "", "xyz-!"},
        {"Ctrl+C copies", keyC, U'c', ui::Key::control, "", "xyz-!"},
        {"Ctrl+Shift+A as Ctrl+A", keyA, U'A', ui::Key::control | ui::Key::shift, "", "xyz-!"},
        {"Ctrl+X cuts", keyX, U'x', ui::Key::control, "", ""},
        // Cyrillic layout: no Latin letter, so the key's place counts, as desktop programs do.
        {"Russian Ctrl+V pastes", keyV, U'\u043c', ui::Key::control, "", "xyz-!"},
        {"Backspace", backspace, std::nullopt, ui::Key::none, "", "xyz-"},
        // Where the layout gives a sign, not a letter, the place does not make it a shortcut.
        {"a sign at V's place", keyV, U';', ui::Key::control, "", "xyz-"},
    };
    for (const auto& step : steps) {
        if (step.usage) press(step.usage, step.modifiers, step.symbol);
        if (!step.typed.empty()) type(step.typed);
        EXPECT_EQ(field->text().value_or(""), step.text) << step.what;
    }
    EXPECT_EQ(display::SystemClipboard().text(), "xyz-!");
    press(ui::Key::escape);
    ASSERT_TRUE(waitFor([&] { return !alert(); })) << screen();
}

TEST_F(WindowKeysDisplay, ThePasteButtonOffersWhatTheDesktopClipboardHoldsReadingItOnlyToPaste) {
    start();
    display::SystemClipboard desktop;
    ui::Pasteboard::general().clear();
    ASSERT_TRUE(command("click " + handleOf(root()->playButton().get())));
    ASSERT_TRUE(command("click \"Play URL\""));
    auto page = root()->openURLController()->rootView();
    ASSERT_TRUE(page->window());
    auto paste = page->pasteButton();
    ASSERT_TRUE(paste);
    EXPECT_FALSE(paste->isEnabled()) << "nothing to paste";
    ASSERT_TRUE(command("click " + handleOf(paste.get())));
    EXPECT_EQ(page->addressField()->text().value_or(""), "") << "a disabled button pastes nothing";

    // Another program copies an address with a tab, a control character and a line break in it.
    auto other = testing_support::XClipboardOwner::copy(
        "https://example.com/a\tb\x01"
        "c.mp4\r\n");
    if (!other) GTEST_SKIP() << "another program's copy is made on X";
    ASSERT_TRUE(serveUntil([&] { return paste->isEnabled(); })) << "the button heard of the copy";
    // Painting, printing the screen and hit testing ask nothing of the program that copied.
    const int asked = other->requests();
    for (int i = 0; i < 3; ++i) {
        window().capture();
        screen();
        ASSERT_TRUE(command("click " + handleOf(page->addressField().get())));
    }
    EXPECT_EQ(other->requests(), asked);
    ASSERT_TRUE(command("click " + handleOf(paste.get())));
    EXPECT_EQ(other->requests(), asked + 1) << "a paste asks once";
    EXPECT_EQ(page->addressField()->text(), "https://example.com/a b c.mp4 ") << "pasted on one line, as typed";
    EXPECT_FALSE(page->isPlayEnabled());

    // What the app copies is on the desktop's clipboard too, and the button pastes it.
    ASSERT_TRUE(command("click " + handleOf(page->addressField().get())));
    press(keyA, ui::Key::control);
    type("https://example.com/other.mp4");
    press(keyA, ui::Key::control);
    press(keyC, ui::Key::control);
    EXPECT_EQ(desktop.text(), "https://example.com/other.mp4");
    type("typed over");
    ASSERT_TRUE(command("click " + handleOf(paste.get())));
    EXPECT_EQ(page->addressField()->text(), "https://example.com/other.mp4");
}

// The keyboard as the X server delivers a person's keys, on the layout set on the display.
class WindowXKeysDisplay : public WindowKeysDisplay {
protected:
    void SetUp() override {
        WindowKeysDisplay::SetUp();
        if (IsSkipped()) return;
        keyboard = testing_support::XKeyboard::open();
        if (!keyboard) GTEST_SKIP() << "keys go through the X server's XTest extension (none under Wayland)";
    }
    void startOn(const std::string& layout) {
        ASSERT_TRUE(keyboard->setLayout(layout)) << layout;
        start();
        ASSERT_TRUE(serveUntil([&] { return keyboard->focusOwnWindow(); })) << "the window shows";
    }
    // The keyboard goes to the window first: another test's window on the display may have taken it.
    void keys(const std::vector<std::string>& chord) {
        ASSERT_TRUE(keyboard->focusOwnWindow());
        ASSERT_TRUE(keyboard->chord(chord));
    }

    std::unique_ptr<testing_support::XKeyboard> keyboard;
};

TEST_F(WindowXKeysDisplay, ControlWithALetterOnARussianLayoutTypesNothingAndTheShortcutActs) {
    startOn("ru");
    display::SystemClipboard().setText("");
    ASSERT_TRUE(command("menu " + handle("VideoCollectionViewCell")));
    ASSERT_TRUE(command("click \"Rename\""));
    ASSERT_TRUE(alert()) << screen();
    auto field = alert()->textFields().at(0);
    const std::string name = field->text().value_or("");
    ASSERT_FALSE(name.empty());
    // Ctrl+ф and Ctrl+с, where A and C lie: select all, copy; neither letter is typed.
    keys({"Control_L", "Cyrillic_ef"});
    keys({"Control_L", "Cyrillic_es"});
    ASSERT_TRUE(serveUntil([&] { return display::SystemClipboard().text() == name; }))
        << "copied: " << display::SystemClipboard().text().value_or("") << ", field: " << field->text().value_or("");
    EXPECT_EQ(field->text(), name);
    // Without Control the key types its letter, over the selection.
    keys({"Cyrillic_ef"});
    ASSERT_TRUE(serveUntil([&] { return field->text() == "\u0444"; })) << field->text().value_or("");
    keys({"Escape"});
    ASSERT_TRUE(serveUntil([&] { return !alert(); }));
    EXPECT_TRUE(fs::exists(documents / "Clip.mp4"));
}

TEST_F(WindowXKeysDisplay, ReturnConfirmsTheMoveSheetOnceAFolderIsChosenAndEscapeCancels) {
    fs::create_directories(documents / "Trips");
    startOn("us");
    auto openSheet = [&] {
        ASSERT_TRUE(command("click " + handleOf(root()->editButton().get())));
        ASSERT_TRUE(command("click " + handle("VideoCollectionViewCell")));
        ASSERT_TRUE(command("click " + handle("BarButtonItem", "right \"Move\"")));
        ASSERT_NE(screen().find("Move 1 Item"), std::string::npos) << screen();
    };
    auto sheetShows = [&] { return screen().find("Move 1 Item") != std::string::npos; };
    // Escape leaves the sheet; Return before a folder is chosen moves nothing.
    openSheet();
    keys({"Return"});
    keys({"Escape"});
    ASSERT_TRUE(serveUntil([&] { return !sheetShows(); })) << screen();
    EXPECT_TRUE(fs::exists(documents / "Clip.mp4"));
    ASSERT_TRUE(command("click " + handle("BarButtonItem", "right \"Done\"")));

    openSheet();
    ASSERT_TRUE(command("click \"Trips\""));
    keys({"Return"});
    ASSERT_TRUE(serveUntil([&] { return fs::exists(documents / "Trips/Clip.mp4"); })) << screen();
    EXPECT_FALSE(fs::exists(documents / "Clip.mp4"));
    EXPECT_TRUE(serveUntil([&] { return !sheetShows(); })) << screen();
}

}  // namespace
}  // namespace reelhaven
