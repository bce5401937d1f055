// A person's mouse in the window, through the X server (XTest): a double click never confirms
// what its first click brought up under the pointer (the Delete submenu that replaces an item's
// menu, the alert of "Delete Cached Data"), while a click made once it shows acts at once; and an
// item held until its menu opens, then moved, is carried and dropped into a folder. The app runs
// in this process in a real window. Needs an X server (the display stage's Xvfb): under Wayland
// the server's XTest cannot reach the window and the cases skip.

#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/app_delegate.h"
#include "core/progress_client.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/gestures/press.h"
#include "support/test_media.h"
#include "support/x_pointer.h"
#include "window_keyboard_host.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using Button = testing_support::XPointer::Button;

std::string text(const ui::Rect& r) {
    return std::to_string(r.origin.x) + "," + std::to_string(r.origin.y) + " " + std::to_string(r.size.width) + "x" +
           std::to_string(r.size.height);
}

class WindowPointerDisplay : public ::testing::Test, protected WindowKeyboardHost {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(documents / "Trips");
        fs::copy_file(testing_support::testMedia("solid-red.mp4"), documents / "Trips" / "Beach.mp4");
        fs::copy_file(testing_support::testMedia("long.mp4"), documents / "Clip.mp4");
    }
    void TearDown() override {
        pointer.reset();
        closePlayer();
        shutDown();
    }
    // Starts the app in a window of `size` and takes the X server's pointer over it.
    void start(ui::Size size = {390, 844}) {
        auto options = windowOptions();
        options.size = std::pair(size.width, size.height);
        ASSERT_TRUE(launch(options)) << err.str();
        // However long this machine takes between two clicks at one place, they are a double click.
        SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "60000");
        pointer = testing_support::XPointer::over(window().windowID());
        if (!pointer) GTEST_SKIP() << "the window is no X11 one (Wayland): XTest cannot reach it";
        window().capture();
    }

    // Serves the window until `done` (the mouse's events come in through its queue); false when
    // the events or `done` did not come within a generous time.
    bool serveUntil(const std::function<bool()>& done) {
        auto loop = dispatch::RunLoop::main();
        bool late = false;
        // Wakes the window's wait should nothing else.
        const auto limit = loop->schedule(loop->now() + dispatch::seconds(60), [&late] { late = true; });
        const bool served = window().serveUntil([&] { return late || (pointer->delivered() && done()); });
        loop->cancel(limit);
        return served && !late;
    }
    // Serves the window until the pointer's events have been handled, then lets the app settle
    // and paints, so what they brought up is drawn where the next click finds it.
    void handled() {
        ASSERT_TRUE(serveUntil([] { return true; })) << "the window never took the pointer's events";
        host->session().settle();
        window().capture();
    }
    void pressAndRelease(ui::Point at) {
        window().capture();  // clicked on what the window shows now
        pointer->moveTo(at.x, at.y);
        pointer->press(Button::left);
        pointer->release(Button::left);
        handled();
    }

    // The rectangle of the view or drawn element with the first handle whose screen line matches.
    ui::Rect drawnRect(const std::string& pattern) {
        std::smatch found;
        const auto shown = screen();
        if (!std::regex_search(shown, found, std::regex(pattern))) {
            ADD_FAILURE() << "no " << pattern << " on\n" << shown;
            return {};
        }
        return rectOf(std::stoi(found[1].str()));
    }
    // Where the element with `handle` is drawn.
    ui::Rect rectOf(int handle) {
        for (const auto& target : window().chromeTargets())
            if (target.handle == handle) return target.rect;
        const auto& view = driver().capture().targets().at(static_cast<size_t>(handle) - 1).view;
        if (!view) {
            ADD_FAILURE() << "#" << handle << " is not drawn";
            return {};
        }
        return {view->convertToWindow(view->bounds().origin), view->bounds().size};
    }
    // The rectangles of every element whose line matches.
    std::vector<ui::Rect> drawnRects(const std::string& pattern) {
        std::vector<ui::Rect> rects;
        const auto shown = screen();
        const std::regex expression(pattern);
        for (auto it = std::sregex_iterator(shown.begin(), shown.end(), expression); it != std::sregex_iterator(); ++it)
            rects.push_back(rectOf(std::stoi((*it)[1].str())));
        return rects;
    }
    // The red "Delete" entry of the submenu, where it is drawn now.
    ui::Rect deleteEntry() { return drawnRect("MenuAction #(\\d+) \"Delete\""); }
    std::shared_ptr<ui::PresentedMenu> menu() const { return host->window()->presentedMenu(); }
    std::shared_ptr<ui::AlertController> alert() const {
        return std::dynamic_pointer_cast<ui::AlertController>(host->window()->topPresentedViewController());
    }

    std::unique_ptr<testing_support::XPointer> pointer;
};

// A double click on "Delete ›": the submenu takes the menu's place with its red "Delete" under the
// pointer. The double click's second click leaves it; a click made after it shows deletes.
TEST_F(WindowPointerDisplay, ADoubleClickOnDeleteLeavesTheSubmenuAndAClickAfterItDeletes) {
    for (const char* name : {"Other.mp4", "Zed.mp4"}) fs::copy_file(documents / "Clip.mp4", documents / name);
    struct Case {
        const char* name;
        const char* cell;  // the item's cell on the screen: the lowest of these
        ui::Size window;
        bool upwards;  // right-clicked low in a short window, the menus open upwards
    };
    const Case cases[] = {
        {"a folder's menu, opened downwards", "FolderCollectionViewCell", {390, 844}, false},
        {"a video's menu, opened upwards", "VideoCollectionViewCell", {390, 390}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start(c.window);
        if (!pointer) return;
        ui::Rect cell;
        for (const auto& rect : drawnRects(c.cell + std::string(" #(\\d+)")))
            if (rect.maxY() > cell.maxY()) cell = rect;
        const ui::Point rightClick{cell.origin.x + 20, c.upwards ? cell.maxY() - 6 : cell.origin.y + 20};
        pointer->click(rightClick.x, rightClick.y, Button::right);
        handled();
        ASSERT_TRUE(menu()) << screen();
        const auto item = documents / menu()->menu()->title();
        ASSERT_TRUE(fs::exists(item)) << item;
        const auto submenuEntry = drawnRect("Submenu #(\\d+) \"Delete\"");
        const ui::Point onIt{submenuEntry.origin.x + 30, submenuEntry.midY()};
        EXPECT_EQ(submenuEntry.midY() < rightClick.y, c.upwards) << "the menu opens the other way";

        pointer->moveTo(onIt.x, onIt.y);
        pointer->press(Button::left);
        pointer->release(Button::left);
        handled();
        ASSERT_TRUE(menu() && menu()->menu()->title() == "Delete") << screen();
        const auto entry = deleteEntry();
        ASSERT_TRUE(entry.contains(onIt)) << "the red Delete is not under the pointer: " << text(entry);
        // The double click's second click, at the same place.
        pressAndRelease(onIt);
        EXPECT_TRUE(fs::exists(item)) << "the double click deleted " << item;
        ASSERT_TRUE(menu() && menu()->menu()->title() == "Delete") << screen();

        // A click of its own, away from the double click's place, deletes at once.
        pressAndRelease({entry.maxX() - 30, entry.midY()});
        EXPECT_TRUE(serveUntil([&] {
            host->session().settle();
            return !fs::exists(item);
        })) << screen();
        EXPECT_FALSE(menu());
        pointer.reset();
        shutDown();
    }
}

// In a short window the alert of "Delete Cached Data" puts its Confirm over the row: the double
// click's second click leaves the alert and every progress record; a click made after it shows
// confirms.
TEST_F(WindowPointerDisplay, ADoubleClickOnDeleteCachedDataLeavesTheAlertAndAClickAfterItConfirms) {
    const auto clipURL = foundation::URL::fileURLWithPath((documents / "Clip.mp4").string());
    const auto progressFile = home / "Library/Application Support/progressData";
    fs::create_directories(progressFile.parent_path());
    std::ofstream(progressFile)
        << R"({")" + ProgressClient::progressKey(clipURL) +
               R"(":{"progress":{"seconds":41.5},"duration":{"seconds":65},"isFinished":false}})";
    start({390, 500});
    if (!pointer) return;
    const auto clip = Video::create(clipURL, LibraryItemType::file, false);
    ASSERT_TRUE(AppDelegate::shared()->progressClient()->progress(*clip));
    ASSERT_TRUE(command("click " + handleOf(root()->settingsButton().get())));
    ASSERT_TRUE(command("click " + handle("TableViewCell", "[^\\n]*\\[0,0\\]")));  // the library's size
    const auto row = drawnRect("TableViewCell #(\\d+)[^\\n]*\\n[^\\n]*\\n[^\\n]*\"Delete Cached Data\"");
    // Where the alert's Confirm comes, learnt from an alert the host's own click brings up.
    ASSERT_TRUE(command("click \"Delete Cached Data\""));
    ASSERT_TRUE(alert()) << screen();
    window().capture();
    const auto confirm = drawnRect("AlertAction #(\\d+) \"Confirm\"");
    ASSERT_TRUE(command("alert \"Cancel\""));
    ASSERT_TRUE(serveUntil([&] { return !alert(); }));
    host->session().settle();
    const ui::Point onBoth{confirm.origin.x + 20, confirm.midY()};
    ASSERT_TRUE(row.contains(onBoth)) << "Confirm " << text(confirm) << " lies off the row " << text(row);

    pressAndRelease(onBoth);
    ASSERT_TRUE(serveUntil([&] { return alert() != nullptr; })) << screen();
    window().capture();
    pressAndRelease(onBoth);
    EXPECT_TRUE(alert()) << "the double click's second click confirmed\n" << screen();
    EXPECT_TRUE(AppDelegate::shared()->progressClient()->progress(*clip));

    pressAndRelease({confirm.maxX() - 20, confirm.midY()});
    EXPECT_TRUE(serveUntil([&] {
        host->session().settle();
        return !alert() && !AppDelegate::shared()->progressClient()->progress(*clip);
    })) << screen();
}

// An item held until its menu opens and then moved is lifted: let go on a folder it moves there;
// let go on the grid's empty part it goes back and nothing moves.
TEST_F(WindowPointerDisplay, AnItemHeldThenMovedDropsIntoAFolder) {
    struct Case {
        const char* name;
        bool onFolder;
        fs::path expected;  // where the clip is afterwards
    };
    const Case cases[] = {
        {"let go on the empty grid", false, documents / "Clip.mp4"},
        {"let go on the folder", true, documents / "Trips" / "Clip.mp4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        start();
        if (!pointer) return;
        const auto clip = drawnRect("VideoCollectionViewCell #(\\d+)");
        const auto folder = drawnRect("FolderCollectionViewCell #(\\d+)");
        const ui::Point from = clip.center();
        const ui::Point to = c.onFolder ? folder.center() : ui::Point{folder.midX(), clip.maxY() + 200};
        pointer->moveTo(from.x, from.y);
        pointer->press(Button::left);
        ASSERT_TRUE(serveUntil([&] { return menu() != nullptr; })) << "the hold opened no menu\n" << screen();
        // Moved in steps, as a hand does.
        for (int step = 1; step <= 4; ++step)
            pointer->moveTo(from.x + (to.x - from.x) * step / 4, from.y + (to.y - from.y) * step / 4);
        handled();
        EXPECT_FALSE(menu()) << "the menu stays while the item is carried";
        pointer->release(Button::left);
        handled();
        EXPECT_TRUE(serveUntil([&] {
            host->session().settle();
            return fs::exists(c.expected);
        })) << screen();
        EXPECT_EQ(fs::exists(documents / "Clip.mp4"), !c.onFolder);
        pointer.reset();
        shutDown();
    }
}

}  // namespace
}  // namespace reelhaven
