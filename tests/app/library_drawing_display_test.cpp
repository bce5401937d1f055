// What the library's window draws where drawings were reported wrong: titles in any script, a
// scrolling title drawn once, the check marks of edit mode, the move sheet's material, the import
// menu hanging from its bar item and the search field. `reelhaven --display` runs a script on a
// home with three clips of one colour each (the colours find the cells), and the screenshots are
// read back. Without a display (the display stage runs these under Xvfb) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/graphics/png_codec.h"
#include "support/display_stage.h"
#include "support/launcher_run.h"
#include "support/temp_dir.h"
#include "support/test_media.h"
#include "window_pixels.h"

namespace {

namespace fs = std::filesystem;
using namespace window_pixels;
using testing_support::readFile;
using testing_support::testMedia;
using testing_support::writeFile;

// A sentence long enough to scroll in a phone's cell, of letters of every shape.
const std::string kLongTitle = "The long walk along the harbour wall at dawn, with gulls";
const std::string kJapaneseTitle = "\xE5\xA4\x8F\xE3\x81\xAE\xE6\x80\x9D\xE3\x81\x84\xE5\x87\xBA \xF0\x9F\x8E\x86";

// A rectangle of the screenshot, in pixels.
struct Box {
    int left, top, right, bottom;  // right and bottom exclusive
};

// Light pixels (white text on the dark grid).
bool lit(gfx::Pixel p) { return p.r > 140 && p.g > 140 && p.b > 140; }
// Pixels of a colour of their own (an emoji's), not grey.
bool coloured(gfx::Pixel p) { return std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 60; }

// Sharp steps of brightness from one pixel to the next along rows (the strokes of text).
int edges(const gfx::Image& image, const Box& box) {
    int found = 0;
    for (int y = std::max(0, box.top); y < std::min(image.height(), box.bottom); ++y)
        for (int x = std::max(1, box.left); x < std::min(image.width(), box.right); ++x)
            found += std::abs(image.pixel(x, y).g - image.pixel(x - 1, y).g) > 25;
    return found;
}

template <typename Test>
int count(const gfx::Image& image, const Box& box, Test test) {
    int found = 0;
    for (int y = std::max(0, box.top); y < std::min(image.height(), box.bottom); ++y)
        for (int x = std::max(0, box.left); x < std::min(image.width(), box.right); ++x)
            found += test(image.pixel(x, y));
    return found;
}

class LibraryDrawingDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(home / "Documents");
        fs::copy_file(testMedia("solid-red.mp4"), home / "Documents" / (kJapaneseTitle + ".mp4"));
        fs::copy_file(testMedia("solid-green.mp4"), home / "Documents" / (kLongTitle + ".mp4"));
        fs::copy_file(testMedia("solid-blue.mp4"), home / "Documents" / "Blue.mp4");
    }

    // Runs the script (`@` stands for this test's folder) and returns the screenshots it named.
    std::vector<gfx::Image> run(std::string script, const std::vector<std::string>& shots) {
        for (size_t at = script.find('@'); at != std::string::npos; at = script.find('@', at))
            script.replace(at, 1, dir.path().string());
        writeFile(dir / "script.txt", script);
        const auto result = testing_support::runLauncher(
            dir.path(),
            {"--home", home.string(), "--display", "--no-restore", "--script", (dir / "script.txt").string()});
        EXPECT_EQ(result.status, 0) << result.err;
        std::vector<gfx::Image> images;
        for (const auto& shot : shots) {
            const auto path = dir / shot;
            if (!fs::exists(path)) {
                ADD_FAILURE() << "no screenshot " << shot << "\n" << result.out << result.err;
                return {};
            }
            auto image = gfx::PngCodec::decode(readFile(path));
            if (!image) {
                ADD_FAILURE() << "no screenshot " << shot << "\n" << result.out << result.err;
                return {};
            }
            images.push_back(image.value());
        }
        return images;
    }

    // The title line under a cell's thumbnail (the clip's colour), inside the cell's margins.
    static Box titleOf(const Region& thumbnail) {
        return {thumbnail.left + 6, thumbnail.bottom + 4, thumbnail.right - 6, thumbnail.bottom + 22};
    }

    testing_support::TempDir dir;
    fs::path home = dir / "home";
};

TEST_F(LibraryDrawingDisplay, TitlesShowInAnyScriptAndAScrollingTitleIsDrawnOnce) {
    // Three looks at the long title while it scrolls (from 2 s after the screen appears, for 9 s).
    const auto shots = run("wait 3\nscreenshot @/a.png\nwait 1.5\nscreenshot @/b.png\nwait 1.5\nscreenshot @/c.png\n",
                           {"a.png", "b.png", "c.png"});
    ASSERT_EQ(shots.size(), 3u);
    const auto japanese = titleOf(regionOf(shots[0], kRed));
    EXPECT_GT(count(shots[0], japanese, lit), 60) << "the kana and kanji show";
    EXPECT_GT(count(shots[0], japanese, coloured), 20) << "the emoji shows in its colours";

    // A title drawn once moves as a whole: few of its pixels stay lit in all three looks. One drawn
    // twice keeps a still copy at home under the moving one, lit in every look.
    const auto title = titleOf(regionOf(shots[0], kGreen));
    int still = 0;
    const int lit0 = count(shots[0], title, lit);
    for (int y = title.top; y < title.bottom; ++y)
        for (int x = title.left; x < title.right; ++x)
            still += lit(shots[0].pixel(x, y)) && lit(shots[1].pixel(x, y)) && lit(shots[2].pixel(x, y));
    ASSERT_GT(lit0, 100) << "the long title shows";
    EXPECT_LT(still, lit0 * 0.3) << still << " of " << lit0 << " lit pixels stayed put: a still copy";
}

TEST_F(LibraryDrawingDisplay, EditModeMarksSelectedCellsAndTheMoveSheetBlursTheGrid) {
    // The edit button is the bar's right-most item; "Move" then opens the sheet for the selection.
    const auto shots =
        run("screenshot @/grid.png\nclick 360 22\nclick \"Blue\"\nscreenshot @/marked.png\n"
            "click 290 22\nwait 1\nscreenshot @/sheet.png\n",
            {"grid.png", "marked.png", "sheet.png"});
    ASSERT_EQ(shots.size(), 3u);
    const auto& marked = shots[1];
    // Where the cells are, from the grid before the selection dims one of them.
    const auto blue = regionOf(shots[0], kBlue), red = regionOf(shots[0], kRed), green = regionOf(shots[0], kGreen);
    ASSERT_GT(blue.count, 1000);
    ASSERT_GT(red.count, 1000);
    // The check mark: a blue disc ringed white in the middle of the selected thumbnail only.
    constexpr Colour kMark{"check mark", 20, 111, 223};
    const auto markOf = [&](const Region& cell) {
        const int x = cell.centreX(), y = cell.centreY();
        return count(marked, Box{x - 25, y - 25, x + 25, y + 25}, [&](gfx::Pixel p) { return matches(p, kMark); });
    };
    EXPECT_GT(markOf(blue), 150) << "no check mark on the selected cell";
    EXPECT_EQ(markOf(red), 0);
    EXPECT_EQ(markOf(green), 0);

    // Under the sheet the titles no longer read: their sharp strokes are blurred into the material.
    const auto& sheet = shots[2];
    const auto title = titleOf(red);
    EXPECT_GT(edges(marked, title), 60) << "the title showed before the sheet came";
    EXPECT_LT(edges(sheet, title), 10) << "the grid's text reads through the sheet";
}

// How many pixels of row `y` between `left` and `right` lie part way between the red of one side
// and the blue of the other: one or two where the edge is sharp, many where it is blurred.
int blendedColumns(const gfx::Image& image, int y, int left, int right) {
    int lowest = 255, highest = 0;
    for (int x = left; x < right; ++x) {
        lowest = std::min<int>(lowest, image.pixel(x, y).r);
        highest = std::max<int>(highest, image.pixel(x, y).r);
    }
    const int span = highest - lowest;
    if (span < 20) return 0;
    int blended = 0;
    for (int x = left; x < right; ++x) {
        const int r = image.pixel(x, y).r;
        blended += r > lowest + span / 5 && r < highest - span / 5;
    }
    return blended;
}

TEST_F(LibraryDrawingDisplay, ThePlayersOptionsPopoverBlursThePictureUnderIt) {
    // A picture half blue, half red: its edge runs down the middle of the window, under the
    // popover's rows.
    fs::copy_file(testMedia("halves.mp4"), home / "Documents" / "Halves.mp4");
    const auto shots =
        run("click \"Halves\"\nwait 1\nclick 195 300\nkey space\nscreenshot @/player.png\n"
            "click 48 801\nwait 1\nscreenshot @/options.png\n",
            {"player.png", "options.png"});
    ASSERT_EQ(shots.size(), 2u);
    // A row of the picture the popover covers, clear of its rows' texts and controls.
    constexpr int y = 470, left = 150, right = 250;
    const int sharp = blendedColumns(shots[0], y, left, right);
    const int under = blendedColumns(shots[1], y, left, right);
    EXPECT_LE(sharp, 4) << "the picture's edge is sharp without the popover";
    EXPECT_GE(under, 12) << "the picture shows sharp through the popover's blur";
}

TEST_F(LibraryDrawingDisplay, TheImportMenuHangsBelowItsButtonAndTheSearchFieldShowsWhatIsTyped) {
    const auto shots =
        run("screenshot @/grid.png\nclick 316 22\nwait 1\nscreenshot @/menu.png\nclick 40 600\n"
            "wait 1\nclick 195 22\nsearch \"harbour\"\nscreenshot @/search.png\n",
            {"grid.png", "menu.png", "search.png"});
    ASSERT_EQ(shots.size(), 3u);
    const auto& grid = shots[0];
    const auto& menu = shots[1];
    const int scale = grid.width() / 390;
    auto box = [&](int l, int t, int r, int b) { return Box{l * scale, t * scale, r * scale, b * scale}; };
    // Its rows' light text and icons under the bar, at the window's right below the import button;
    // nothing new at the window's left, where an unanchored popover would sit.
    const int before = count(grid, box(100, 50, 390, 230), lit);
    EXPECT_GT(count(menu, box(100, 50, 390, 230), lit), before + 150) << "no menu below the import button";
    EXPECT_LE(count(menu, box(0, 44, 90, 230), lit), count(grid, box(0, 44, 90, 230), lit) + 10)
        << "the menu's rows start at the window's left edge, not below the import button";

    // The field in the bar: the typed text shows where the title was.
    const auto& search = shots[2];
    EXPECT_GT(count(search, box(100, 6, 290, 38), lit), count(grid, box(100, 6, 290, 38), lit) + 60)
        << "the search field with its text does not show";
}

}  // namespace
