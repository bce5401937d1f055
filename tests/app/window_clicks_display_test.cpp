// A person's clicks in the window act on controls as touches do: a settings switch flips and is
// stored, the video menu's segment switches its list, a held button opens its menu; only the
// topmost presented thing (a sheet, popover, menu or alert) takes a click; the play sheet and the
// file picker are drawn and usable with the mouse alone. The launcher
// runs with `--display` a command at a time, each click going through the window's pointer (the
// desktop's event queue) and the one touch path. Without a display (the display stage runs these
// under Xvfb) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <regex>
#include <string>

#include "platform/graphics/png_codec.h"
#include "support/display_stage.h"
#include "support/launcher_process.h"
#include "support/stored_defaults.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "window_pixels.h"

namespace {

namespace fs = std::filesystem;

class WindowClicksDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(home / "Documents");
        fs::copy_file(testing_support::testMedia("three-chapters.mkv"), home / "Documents" / "three-chapters.mkv");
        // The user's own folders, where a file picker starts.
        fs::create_directories(userHome / "Movies");
        fs::copy_file(testing_support::testMedia("solid-red.mp4"), userHome / "Movies" / "holiday.mp4");
        writeText(userHome / "notes.txt", "not a video");
        if (const char* old = std::getenv("HOME")) savedHome = old;
        setenv("HOME", userHome.c_str(), 1);
        process.emplace(dir.path(), std::vector<std::string>{"--home", home.string(), "--display", "--no-restore"});
        ASSERT_TRUE(process->waitFor("Window ")) << process->errors();
    }

    void TearDown() override {
        if (savedHome) setenv("HOME", savedHome->c_str(), 1);
    }
    static void writeText(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }

    // Runs one command; the screen it left.
    std::string run(const std::string& command) {
        process->send(command);
        process->send("wait 0");
        if (!process->waitFor("\nWindow ")) return {};
        auto screen = process->waitFor("\nWindow ");
        return screen ? "Window " + *screen : std::string();
    }
    // The handle of the first element of class `kind` whose line goes on as `pattern` says.
    static std::string handle(const std::string& screen, const std::string& kind, const std::string& pattern) {
        std::smatch found;
        if (!std::regex_search(screen, found, std::regex(kind + " #(\\d+) " + pattern))) return {};
        return "#" + found[1].str();
    }
    nlohmann::json defaults() const { return testing_support::storedDefaults(home); }

    // Plays the three-chapter clip, pauses it and brings its bars up; the handle of the video menu
    // button (empty when the bars never showed). Paused first, so bars a click brings up stay up
    // however long the machine takes between two commands (the window's clock is real); a click on
    // the picture shows them, or hides them when they already show, so it is clicked until they do.
    std::string videoMenuButton() {
        run("click \"three-chapters\"");
        run("screenshot " + (dir / "playing.png").string());  // once the picture shows
        run("key space");
        std::string shown = run("show");
        for (int look = 0; look < 50 && handle(shown, "Button", "[^\\n]*sym:list.and.film").empty(); ++look)
            shown = run("click 195 150");
        const auto menu = handle(shown, "Button", "[^\\n]*sym:list.and.film");
        if (menu.empty()) ADD_FAILURE() << shown << process->errors();
        return menu;
    }

    // The window's pixels now, from a screenshot named `name`.
    std::optional<gfx::Image> pixels(const std::string& name) {
        const auto path = dir / name;
        run("screenshot " + path.string());
        std::ifstream file(path, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        auto image = gfx::PngCodec::decode(bytes);
        if (!image) return std::nullopt;
        return image.value();
    }

    // The share of the pixels in `box` (window points, the screenshots at one pixel per point) that
    // two screenshots show alike.
    struct Box {
        int x, y, width, height;
    };
    static double unchangedShare(const gfx::Image& before, const gfx::Image& after, Box box) {
        long same = 0;
        for (int y = box.y; y < box.y + box.height; ++y) {
            for (int x = box.x; x < box.x + box.width; ++x) {
                const auto a = before.pixel(x, y), b = after.pixel(x, y);
                same += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) < 12;
            }
        }
        return static_cast<double>(same) / (box.width * box.height);
    }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
    fs::path userHome = dir / "user";
    std::optional<std::string> savedHome;
    std::optional<testing_support::LauncherProcess> process;
};

TEST_F(WindowClicksDisplay, AClickOnASettingsSwitchFlipsItAndStoresTheSetting) {
    // The gear at the bar's left, by its handle: the click lands where the window draws it.
    const auto gear = handle(run("show"), "BarButtonItem", "left sym:gear");
    ASSERT_FALSE(gear.empty()) << process->output();
    const auto settings = run("click " + gear);
    ASSERT_NE(settings.find("NavigationBar \"Settings\""), std::string::npos) << settings << process->errors();
    // The first switch of the screen: "Continue Audio in Background", on by default.
    const auto toggle = handle(settings, "Switch", "[^\\n]* on\\n");
    ASSERT_FALSE(toggle.empty()) << settings << process->errors();
    const auto after = run("click " + toggle);
    EXPECT_TRUE(std::regex_search(after, std::regex("Switch " + toggle + " [^\\n]* off\\n"))) << after;
    EXPECT_EQ(process->finish(), 0) << process->errors();
    EXPECT_TRUE(defaults().contains("CONTINUE_AUDIO_BACKGROUND")) << defaults().dump();
    EXPECT_EQ(defaults().value("CONTINUE_AUDIO_BACKGROUND", true), false) << defaults().dump();
}

TEST_F(WindowClicksDisplay, ClicksSwitchTheVideoMenuToChaptersAndAHeldButtonOpensItsMenu) {
    const auto menu = videoMenuButton();
    ASSERT_FALSE(menu.empty());
    const auto opened = run("click " + menu);
    ASSERT_NE(opened.find("segments [\"Playlist\"] \"Chapters\""), std::string::npos) << opened;
    const auto chapters = run("click \"Chapters\"");
    EXPECT_NE(chapters.find("segments \"Playlist\" [\"Chapters\"]"), std::string::npos) << chapters;
    EXPECT_NE(chapters.find("\"Middle\""), std::string::npos) << chapters;

    // The screenshot button's menu is not its primary action: a held press opens it with its three
    // entries (the host's `menu` holds the finger down through the same touch path; the mouse's
    // own hold is InputTest's, on a manual clock).
    const auto screenshot = handle(chapters, "Button", "[^\\n]*menu when held");
    ASSERT_FALSE(screenshot.empty()) << chapters;
    const auto held = run("menu " + screenshot);
    EXPECT_NE(held.find("\"Without Subtitles\""), std::string::npos) << held << process->errors();
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

TEST_F(WindowClicksDisplay, TheCurrentChaptersTitleSitsInTheMiddleOfItsPlate) {
    const auto menu = videoMenuButton();
    ASSERT_FALSE(menu.empty());
    run("click " + menu);
    run("click \"Chapters\"");
    const auto image = pixels("chapters.png");
    ASSERT_TRUE(image) << process->errors();
    // The current chapter's row is the blue plate; its title is the white text after the bookmark,
    // well before the start time at the plate's end.
    constexpr window_pixels::Colour kPlate{"the current chapter's plate", 10, 132, 255};
    const auto plate = window_pixels::regionOf(*image, kPlate);
    ASSERT_TRUE(window_pixels::showsBlock(plate, 30)) << plate;
    int inkTop = plate.bottom, inkBottom = plate.top;
    for (int y = plate.top; y <= plate.bottom; ++y) {
        for (int x = plate.left + 28; x < plate.right - 60; ++x) {
            const auto p = image->pixel(x, y);
            if (p.r < 128 || p.g < 180) continue;  // mostly blue: no text here
            inkTop = std::min(inkTop, y);
            inkBottom = std::max(inkBottom, y);
        }
    }
    ASSERT_LT(inkTop, inkBottom) << "no title on " << plate;
    EXPECT_NEAR((inkTop + inkBottom) / 2.0, (plate.top + plate.bottom) / 2.0, 3)
        << "title " << inkTop << " - " << inkBottom << " on " << plate;
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

TEST_F(WindowClicksDisplay, ThePlaySheetCoversTheLibraryAndItsPagesAndCancelTakeClicks) {
    // The library's thumbnail (the clip's colour bars) before the sheet comes.
    const auto library = pixels("library.png");
    ASSERT_TRUE(library) << process->errors();
    const auto play = handle(run("show"), "BarButtonItem", "left sym:play.rectangle");
    ASSERT_FALSE(play.empty()) << process->output();
    const auto sheet = run("click " + play);
    ASSERT_NE(sheet.find("<DocumentPickerViewController>"), std::string::npos) << sheet;
    EXPECT_NE(sheet.find("\"Movies\""), std::string::npos) << "it lists the user's folders:\n" << sheet;
    EXPECT_EQ(sheet.find("notes.txt"), std::string::npos) << "only the types it opens:\n" << sheet;
    // The file page is drawn over the library: where the thumbnail was, hardly a pixel stays.
    const auto covered = pixels("sheet.png");
    ASSERT_TRUE(covered) << process->errors();
    EXPECT_LT(unchangedShare(*library, *covered, {20, 70, 160, 90}), 0.1) << "the library shows through the sheet";

    // The segment in the sheet's bar takes the click, not the library's search field under it.
    const auto url = run("click \"Play URL\"");
    EXPECT_NE(url.find("segments \"Play External File\" [\"Play URL\"]"), std::string::npos) << url;
    EXPECT_EQ(url.find("editing"), std::string::npos) << "the search field under the sheet was touched:\n" << url;
    // The page's Cancel lies below the sheet's bar and takes its click.
    const auto cancelled = run("click \"Cancel\"");
    EXPECT_EQ(cancelled.find("<OpenURLHostingController>"), std::string::npos) << cancelled << process->errors();

    // `cancel` leaves the sheet as a person's swipe would.
    ASSERT_NE(run("click " + play).find("<OpenURLHostingController>"), std::string::npos) << process->output();
    EXPECT_EQ(run("cancel").find("<OpenURLHostingController>"), std::string::npos) << process->errors();
    EXPECT_EQ(process->errors().find("nothing to cancel"), std::string::npos) << process->errors();
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

TEST_F(WindowClicksDisplay, AFilePickedWithTheMouseFromAFolderPlays) {
    const auto play = handle(run("show"), "BarButtonItem", "left sym:play.rectangle");
    ASSERT_FALSE(run("click " + play).empty()) << process->errors();
    const auto movies = run("click \"Movies\"");
    ASSERT_NE(movies.find("\"holiday.mp4\""), std::string::npos) << movies << process->errors();
    EXPECT_TRUE(std::regex_search(movies, std::regex("Button #\\d+ [^\\n]* \"Open\" disabled"))) << movies;
    // Up goes back to the home folder; the folder opens again.
    EXPECT_NE(run("click \"Up\"").find("\"Movies\""), std::string::npos) << process->output();
    run("click \"Movies\"");
    const auto selected = run("click \"holiday.mp4\"");
    EXPECT_NE(selected.find("checkmark"), std::string::npos) << selected;
    EXPECT_FALSE(std::regex_search(selected, std::regex("\"Open\" disabled"))) << selected;
    process->send("click \"Open\"");
    EXPECT_TRUE(process->waitFor("first frame\tholiday\t")) << process->output() << process->errors();
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

TEST_F(WindowClicksDisplay, TheImportButtonTakesItsMenuAwayAndEscapeLeavesTheImportPicker) {
    const auto import = handle(run("show"), "BarButtonItem", "right sym:arrow.down.doc");
    ASSERT_FALSE(import.empty()) << process->output();
    ASSERT_NE(run("click " + import).find("<ImportMenuController>"), std::string::npos) << process->errors();
    // Pressed again while its menu is up, the button's click lands outside the popover.
    EXPECT_EQ(run("click " + import).find("<ImportMenuController>"), std::string::npos) << process->errors();
    EXPECT_EQ(process->errors().find("Attempt to present"), std::string::npos) << process->errors();

    run("click " + import);
    const auto picker = run("click \"Import from Files\"");
    ASSERT_NE(picker.find("NavigationBar \"Import Files\""), std::string::npos) << picker << process->errors();
    EXPECT_NE(picker.find("\"Cancel\""), std::string::npos) << picker;
    EXPECT_NE(picker.find("\"Movies\""), std::string::npos) << picker;
    EXPECT_EQ(run("key escape").find("<DocumentPickerViewController>"), std::string::npos) << process->errors();
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

TEST_F(WindowClicksDisplay, ClicksReachMenuEntriesAndAlertButtonsByTheirText) {
    const auto cell = handle(run("show"), "VideoCollectionViewCell", "");
    ASSERT_FALSE(cell.empty()) << process->output();
    ASSERT_NE(run("menu " + cell).find("\"Rename\""), std::string::npos) << process->errors();
    const auto alert = run("click \"Rename\"");
    ASSERT_NE(alert.find("Alert \"Rename\""), std::string::npos) << alert << process->errors();
    const auto after = run("click \"Cancel\"");
    EXPECT_EQ(after.find("Alert \"Rename\""), std::string::npos) << after << process->errors();
    EXPECT_EQ(process->finish(), 0) << process->errors();
}

}  // namespace

TEST_F(WindowClicksDisplay, AScreenshotIsTakenWhenNoVideoFrameComes) {
    ASSERT_EQ(process->finish(), 0) << process->errors();
    process.emplace(dir.path(),
                    std::vector<std::string>{"--home", home.string(), "--display", "--no-restore", "--audio-output",
                                             "null", "--open", testing_support::testMedia("long-audio.m4a").string()});
    ASSERT_TRUE(process->waitFor("Window ")) << process->errors();
    // The file has no picture: the player says so in an alert over its black view.
    std::string shown = run("show");
    for (int look = 0; look < 100 && shown.find("No Picture") == std::string::npos; ++look) shown = run("wait 0.1");
    ASSERT_NE(shown.find("No Picture"), std::string::npos) << shown;
    const auto alert = pixels("no-picture.png");
    ASSERT_TRUE(alert) << process->errors();
    // The alert's panel in the middle is lighter than the black picture around it.
    EXPECT_GT(alert->pixel(195, 422).r, 20);
    EXPECT_LT(alert->pixel(20, 300).r, 12);
    // Its first frame is at the start, not a hair before it.
    EXPECT_EQ(process->output().find("\t-"), std::string::npos) << process->output();
    // In the background the player draws nothing new; the window is taken as it is.
    run("background");
    EXPECT_TRUE(pixels("background.png")) << process->errors();
    EXPECT_EQ(process->finish(), 0) << process->errors();
}
