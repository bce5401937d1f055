// A person's mouse in the window, through the X server (XTest): a double click never confirms
// what its first click brought up under the pointer (the Delete submenu that replaces an item's
// menu, the alert of "Delete Cached Data"), while a click made once it shows acts at once; a
// press acts only on what it pressed, with the primary button, and only on what was on screen
// when it was made; and an item held until its menu opens, then moved, is carried and dropped
// into a folder. The app runs in this process in a real window. Needs an X server (the display
// stage's Xvfb): under Wayland the server's XTest cannot reach the window and the cases skip.

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "app/app_delegate.h"
#include "core/progress_client.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/gestures/press.h"
#include "support/test_media.h"
#include "support/x_keyboard.h"
#include "support/x_pointer.h"
#include "transfer/web_uploader.h"
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

    // Two clicks at `at` while the app is busy between them: the first is handled until `shown`
    // (what it brings up) holds, but not painted yet; the second is made meanwhile, and the window
    // paints before it reads it, as a stalled app's next frame does.
    void doubleClickStalled(ui::Point at, const std::function<bool()>& shown) {
        pointer->moveTo(at.x, at.y);
        pointer->press(Button::left);
        pointer->release(Button::left);
        ASSERT_TRUE(serveUntil(shown)) << "the first click brought up nothing\n" << screen();
        pointer->press(Button::left);
        pointer->release(Button::left);
        window().capture();
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
    // Opens the library's size in the settings and finds where the row "Delete Cached Data" lies
    // under the Confirm of the alert it brings up (learnt from an alert the host's own click
    // brings up, then cancelled): a point on both, and the Confirm. The origin where none is.
    ui::Point onDeleteCachedDataAndConfirm(ui::Rect& confirm) {
        if (!command("click " + handleOf(root()->settingsButton().get()))) return {};
        if (!command("click " + handle("TableViewCell", "[^\\n]*\\[0,0\\]"))) return {};  // the library's size
        window().capture();
        const auto row = drawnRect("TableViewCell #(\\d+)[^\\n]*\\n[^\\n]*\\n[^\\n]*\"Delete Cached Data\"");
        if (!command("click \"Delete Cached Data\"") || !alert()) return {};
        window().capture();
        confirm = drawnRect("AlertAction #(\\d+) \"Confirm\"");
        if (!command("alert \"Cancel\"") || !serveUntil([&] { return !alert(); })) return {};
        host->session().settle();
        window().capture();
        const ui::Point onBoth{confirm.origin.x + 20, confirm.midY()};
        if (!row.contains(onBoth)) {
            ADD_FAILURE() << "Confirm " << text(confirm) << " lies off the row " << text(row);
            return {};
        }
        return onBoth;
    }
    // The red "Delete" entry of the submenu, where it is drawn now.
    ui::Rect deleteEntry() { return drawnRect("MenuAction #(\\d+) \"Delete\""); }
    std::shared_ptr<ui::PresentedMenu> menu() const { return host->window()->presentedMenu(); }
    std::shared_ptr<ui::AlertController> alert() const {
        return std::dynamic_pointer_cast<ui::AlertController>(host->window()->topPresentedViewController());
    }

    // Serves the window for `seconds` of real time: long enough for what a release that acted on
    // the wrong element would have set off (a menu's delete waits 0.4 s first).
    void serveFor(double seconds) {
        auto loop = dispatch::RunLoop::main();
        bool over = false;
        const auto end = loop->schedule(loop->now() + dispatch::seconds(seconds), [&over] { over = true; });
        window().serveUntil([&] {
            host->session().settle();
            return over;
        });
        loop->cancel(end);
    }
    // The handle of the first element whose screen line matches `pattern` (its number in the
    // first group); 0 for none.
    int handleMatching(const std::string& pattern) {
        std::smatch found;
        const auto shown = screen();
        return std::regex_search(shown, found, std::regex(pattern)) ? std::stoi(found[1].str()) : 0;
    }
    // How many of the library's cells the screen shows.
    int cellsShown() {
        const auto shown = screen();
        const std::regex cell("CollectionViewCell #");
        return static_cast<int>(
            std::distance(std::sregex_iterator(shown.begin(), shown.end(), cell), std::sregex_iterator()));
    }
    // Where the cell of the item named `name` shows its name.
    ui::Rect nameOf(const std::string& name) {
        std::smatch found;
        const auto shown = screen();
        if (!std::regex_search(shown, found,
                               std::regex("ScrollingLabel (\\d+),(\\d+) (\\d+)x(\\d+) \"" + name + "\""))) {
            ADD_FAILURE() << "no " << name << " on\n" << shown;
            return {};
        }
        return {std::stod(found[1].str()), std::stod(found[2].str()), std::stod(found[3].str()),
                std::stod(found[4].str())};
    }
    // Opens the Delete submenu of the item whose cell is `cell` (a right click, then "Delete ›");
    // the item's file.
    fs::path openDeleteSubmenu(const ui::Rect& cell) {
        pointer->click(cell.midX(), cell.midY(), Button::right);
        handled();
        if (!menu()) {
            ADD_FAILURE() << "no menu\n" << screen();
            return {};
        }
        const auto item = menu()->menu()->title();
        const auto entry = drawnRect("Submenu #(\\d+) \"Delete\"");
        pressAndRelease({entry.origin.x + 30, entry.midY()});
        if (!menu() || menu()->menu()->title() != "Delete") ADD_FAILURE() << "no Delete submenu\n" << screen();
        return item;
    }
    // Holds the primary button down on `target` (a Cancel) while `meanwhile` changes the screen
    // under it, then lets go there. Meanwhile one element before it on the screen (a cell) must
    // have gone, so that its number (its line matches `pattern`) then names the element after
    // it, or the case shows nothing.
    void holdWhile(const ui::Rect& target, const std::string& pattern, const std::function<void(int)>& meanwhile) {
        const int before = handleMatching(pattern);
        pointer->moveTo(target.midX(), target.midY());
        pointer->press(Button::left);
        handled();
        meanwhile(before);
        host->session().settle();
        window().capture();
        EXPECT_EQ(handleMatching(pattern), before - 1) << "not one element before it went\n" << screen();
        EXPECT_TRUE(rectOf(handleMatching(pattern)).contains(target.center())) << "it moved off the pointer";
        pointer->release(Button::left);
        handled();
    }
    // Deletes `file` of the container's Documents as a browser does over Wi-Fi, while the window
    // is served, until the screen no longer shows `line` (its cell).
    void deleteOverWiFi(const std::string& file, const std::string& line) {
        auto server = AppDelegate::shared()->webServer();
        ASSERT_TRUE(server && server->isRunning());
        const std::string request = "curl -s -o /dev/null -w '%{http_code}' --data-urlencode 'path=/" + file +
                                    "' http://127.0.0.1:" + std::to_string(server->port()) + "/delete";
        std::unique_ptr<FILE, int (*)(FILE*)> curl(::popen(request.c_str(), "r"), ::pclose);
        ASSERT_TRUE(curl);
        EXPECT_TRUE(serveUntil([&] {
            host->session().settle();
            return !fs::exists(documents / file) && screen().find(line) == std::string::npos;
        })) << screen();
        char status[8] = {};
        EXPECT_TRUE(std::fgets(status, sizeof status, curl.get()));
        EXPECT_STREQ(status, "200");
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
    ui::Rect confirm;
    const auto onBoth = onDeleteCachedDataAndConfirm(confirm);
    ASSERT_FALSE(onBoth == ui::Point{});

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

// A press acts on what it pressed, and only with the primary button on what was on screen when
// it was made. Held on Cancel while cells come or go under it (a wheel notch scrolls the grid, a
// browser deletes another file over Wi-Fi), so that every handle after them moves, the release
// cancels; the middle and side buttons press nothing; and the second click of a double click that
// waited while the app was busy (SDL, reading it late, counts it a click of its own) does not land
// on what the first click brought up once the window paints it. Each case must leave what a
// wrong press would delete.
TEST_F(WindowPointerDisplay, APressActsOnlyOnWhatItPressedWhenItWasOnScreen) {
    const auto progressFile = home / "Library/Application Support/progressData";
    const auto clipURL = foundation::URL::fileURLWithPath((documents / "Clip.mp4").string());
    struct Case {
        const char* name;
        ui::Size window;
        int videos;  // copies of a clip beside the folder and Clip, "Video 00.mp4" on
        bool transfer;
        // Brings up a question that deletes and presses around it; the file a wrong press
        // deletes, or none where it is the progress records.
        std::function<fs::path()> run;
    };
    const auto folderCell = [this] { return drawnRect("FolderCollectionViewCell #(\\d+)"); };
    const auto firstVideo = [this] { return drawnRect("VideoCollectionViewCell #(\\d+)"); };
    const auto menuCancel = "MenuAction #(\\d+) \"Cancel\"";
    // Clicks the red Delete of a folder's Delete submenu with `button`, which presses nothing there.
    const auto clickRedDelete = [&](Button button) {
        const auto item = openDeleteSubmenu(folderCell());
        const auto entry = deleteEntry();
        pointer->click(entry.maxX() - 30, entry.midY(), button);
        handled();
        EXPECT_TRUE(menu()) << "the submenu went\n" << screen();
        return documents / item;
    };
    const Case cases[] = {
        {"Cancel of a video's Delete submenu held while the wheel scrolls the grid",
         {390, 844},
         11,
         false,
         [&] {
             // Where turning the wheel on leaves one cell fewer on the screen (a row of two gone at
             // the top, the last row's one cell come in at the bottom), learnt from the top down.
             std::vector<int> cells{cellsShown()};
             for (int notch = 0; notch < 12; ++notch) {
                 pointer->wheel(1);
                 handled();
                 cells.push_back(cellsShown());
             }
             std::optional<std::pair<int, int>> turn;  // from that many notches down, that many more
             for (int from = 0; from < static_cast<int>(cells.size()) && !turn; ++from)
                 for (int to = from + 1; to < static_cast<int>(cells.size()) && !turn; ++to)
                     if (cells[to] == cells[from] - 1) turn = std::pair(from, to - from);
             if (!turn) {
                 ADD_FAILURE() << "no turn of the wheel leaves one cell fewer";
                 return fs::path();
             }
             pointer->wheel(-20);
             pointer->wheel(turn->first);
             handled();
             const auto item = openDeleteSubmenu(firstVideo());
             holdWhile(drawnRect(menuCancel), menuCancel, [&](int) {
                 pointer->wheel(turn->second);
                 handled();
             });
             EXPECT_FALSE(menu()) << "Cancel did not take the release\n" << screen();
             return documents / item;
         }},
        {"Cancel of a video's Delete submenu held while a browser deletes another file",
         {390, 844},
         2,
         true,
         [&] {
             const auto item = openDeleteSubmenu(nameOf("Video 01"));
             holdWhile(drawnRect(menuCancel), menuCancel, [&](int) { deleteOverWiFi("Video 00.mp4", "\"Video 00\""); });
             EXPECT_FALSE(menu()) << "Cancel did not take the release\n" << screen();
             return documents / item;
         }},
        {"Cancel of the \"Delete 1 item\" alert held while a browser deletes another file",
         {390, 844},
         2,
         true,
         [&] {
             EXPECT_TRUE(command("tap " + handle("BarButtonItem", "right sym:rectangle.stack")));  // edit
             EXPECT_TRUE(command("tap \"Video 01\""));
             EXPECT_TRUE(command("tap \"Delete\""));
             EXPECT_TRUE(alert()) << screen();
             window().capture();
             const auto alertCancel = "AlertAction #(\\d+) \"Cancel\"";
             holdWhile(drawnRect(alertCancel), alertCancel,
                       [&](int) { deleteOverWiFi("Video 00.mp4", "\"Video 00\""); });
             EXPECT_FALSE(alert()) << "Cancel did not take the release\n" << screen();
             return documents / "Video 01.mp4";
         }},
        {"the back button on a folder's red Delete",
         {390, 844},
         0,
         false,
         [&] { return clickRedDelete(Button::back); }},
        {"the middle button on a folder's red Delete",
         {390, 844},
         0,
         false,
         [&] { return clickRedDelete(Button::middle); }},
        {"a double click on a folder's \"Delete ›\" stalled between its clicks",
         {390, 844},
         0,
         false,
         [&] {
             pointer->click(folderCell().midX(), folderCell().midY(), Button::right);
             handled();
             const auto item = menu() ? menu()->menu()->title() : std::string();
             const auto submenu = drawnRect("Submenu #(\\d+) \"Delete\"");
             const ui::Point onIt{submenu.origin.x + 30, submenu.midY()};
             doubleClickStalled(onIt, [this] { return menu() && menu()->menu()->title() == "Delete"; });
             EXPECT_TRUE(menu() && menu()->menu()->title() == "Delete") << screen();
             EXPECT_TRUE(deleteEntry().contains(onIt)) << "the red Delete is not under the pointer";
             return documents / item;
         }},
        {"a double click on \"Delete Cached Data\" stalled between its clicks",
         {390, 500},
         0,
         false,
         [&] {
             ui::Rect confirm;
             const auto onBoth = onDeleteCachedDataAndConfirm(confirm);
             doubleClickStalled(onBoth, [this] { return alert() != nullptr; });
             EXPECT_TRUE(alert()) << screen();
             return fs::path();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // What the case before deleted, if it wrongly did, is back.
        if (!fs::exists(documents / "Trips" / "Beach.mp4")) {
            fs::create_directories(documents / "Trips");
            fs::copy_file(testing_support::testMedia("solid-red.mp4"), documents / "Trips" / "Beach.mp4");
        }
        for (int i = 0; i < c.videos; ++i) {
            const std::string name = std::string("Video ") + (i < 10 ? "0" : "") + std::to_string(i) + ".mp4";
            fs::copy_file(testing_support::testMedia("solid-red.mp4"), documents / name,
                          fs::copy_options::overwrite_existing);
        }
        fs::create_directories(progressFile.parent_path());
        std::ofstream(progressFile)
            << R"({")" + ProgressClient::progressKey(clipURL) +
                   R"(":{"progress":{"seconds":41.5},"duration":{"seconds":65},"isFinished":false}})";
        start(c.window);
        if (!pointer) return;
        // SDL counts no click a double click's rest: each press stands on when it was made.
        SDL_SetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_TIME, "0");
        if (c.transfer) {
            ASSERT_TRUE(host->switchTransferOn());
        }
        const auto kept = c.run();
        serveFor(1);
        if (kept.empty()) {
            const auto clip = Video::create(clipURL, LibraryItemType::file, false);
            EXPECT_TRUE(AppDelegate::shared()->progressClient()->progress(*clip)) << "the progress was wiped";
        } else {
            EXPECT_TRUE(fs::exists(kept)) << kept << " was deleted\n" << screen();
        }
        pointer.reset();
        shutDown();
        for (const auto& entry : fs::directory_iterator(documents))
            if (entry.path().filename().string().rfind("Video ", 0) == 0) fs::remove(entry.path());
    }
}

// An item held until its menu opens and then moved is lifted: over a folder that takes it, the
// folder shows highlighted; let go there it moves in; let go on the grid's empty part, or after
// Escape (on the folder too), it goes back and nothing moves.
TEST_F(WindowPointerDisplay, AnItemHeldThenMovedDropsIntoAFolder) {
    struct Case {
        const char* name;
        bool onFolder;
        bool escape;        // pressed while the item is carried
        fs::path expected;  // where the clip is afterwards
    };
    const Case cases[] = {
        {"let go on the empty grid", false, false, documents / "Clip.mp4"},
        {"let go on the folder", true, false, documents / "Trips" / "Clip.mp4"},
        {"Escape, then let go on the folder", true, true, documents / "Clip.mp4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Back where it was, if the case before moved it.
        if (fs::exists(documents / "Trips" / "Clip.mp4"))
            fs::rename(documents / "Trips" / "Clip.mp4", documents / "Clip.mp4");
        start();
        if (!pointer) return;
        auto keyboard = testing_support::XKeyboard::open();
        ASSERT_TRUE(keyboard) << "an X server with XTest has a keyboard";
        const auto clip = drawnRect("VideoCollectionViewCell #(\\d+)");
        const auto folder = drawnRect("FolderCollectionViewCell #(\\d+)");
        const auto clipCell =
            driver().capture().targets().at(handleMatching("VideoCollectionViewCell #(\\d+)") - 1).view;
        const auto before = window().capture();
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
        // The folder's corner, away from the pointer and its icon, shows whether it is highlighted.
        const auto carried = window().capture();
        const auto corner = before.pixel(static_cast<int>(folder.origin.x) + 4, static_cast<int>(folder.origin.y) + 4);
        const auto now = carried.pixel(static_cast<int>(folder.origin.x) + 4, static_cast<int>(folder.origin.y) + 4);
        EXPECT_EQ(corner != now, c.onFolder) << "the folder under the item is not highlighted (or one is elsewhere)";
        if (c.escape) {
            ASSERT_TRUE(keyboard->focusOwnWindow());
            ASSERT_TRUE(keyboard->chord({"Escape"}));
            // Set back, the clip's cell is no longer dimmed.
            EXPECT_TRUE(serveUntil([&] { return clipCell->alpha() == 1.0; })) << "Escape left the item carried";
            window().capture();
            const auto after = window().capture();
            EXPECT_EQ(after.pixel(static_cast<int>(folder.origin.x) + 4, static_cast<int>(folder.origin.y) + 4), corner)
                << "the folder stays highlighted";
            // Moving on lifts nothing again.
            pointer->moveTo(to.x + 2, to.y + 2);
            handled();
        }
        pointer->release(Button::left);
        handled();
        EXPECT_TRUE(serveUntil([&] {
            host->session().settle();
            return fs::exists(c.expected);
        })) << screen();
        serveFor(0.5);  // a move into the folder would have begun by now
        EXPECT_EQ(fs::exists(documents / "Clip.mp4"), !c.onFolder || c.escape);
        pointer.reset();
        shutDown();
    }
}

}  // namespace
}  // namespace reelhaven
