// The window's text fields used with a mouse and a keyboard, in either direction: a click puts
// the caret where it lands, a drag selects, a double click selects a word, the selection is drawn
// over the glyphs it selects, Left and Right move as the text shows, and a line longer than its
// field scrolls to the caret. Judged from the fields' state and the window's pixels; the app runs
// in this process in a real window. Without a display (the display stage runs these under Xvfb
// and Weston) the cases skip.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "library/open_url_hosting_controller.h"
#include "library/open_url_view.h"
#include "platform/display/clipboard.h"
#include "platform/display/display_host.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/gestures/press.h"
#include "support/display_stage.h"
#include "window_keyboard_host.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using Direction = LauncherOptions::LayoutDirection;

// HID usage codes (SDL's scancodes) of the keys pressed here.
enum Usage : int { keyA = 4, keyV = 25 };

// Runs of columns, in pixels, left to right.
struct Span {
    int from, to;  // inclusive
    double middle() const { return (from + to) / 2.0; }
};

// What a field's middle rows show, column by column: glyphs (dark), the selection's highlight
// (the tint, faint) and the caret (the tint, solid).
struct FieldPixels {
    std::vector<Span> ink, highlight, caret;
    static std::vector<Span> spans(const std::vector<bool>& columns, int gap) {
        std::vector<Span> result;
        for (int x = 0; x < static_cast<int>(columns.size()); ++x) {
            if (!columns[static_cast<size_t>(x)]) continue;
            if (!result.empty() && x - result.back().to <= gap) {
                result.back().to = x;
            } else {
                result.push_back({x, x});
            }
        }
        return result;
    }
    static std::string describe(const std::vector<Span>& spans) {
        std::string text;
        for (const auto& span : spans) text += std::to_string(span.from) + "-" + std::to_string(span.to) + " ";
        return text;
    }
    Span inkExtent() const { return {ink.front().from, ink.back().to}; }
    Span highlightExtent() const { return {highlight.front().from, highlight.back().to}; }
};

class WindowTextFieldDisplay : public ::testing::Test, protected WindowKeyboardHost {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        fs::create_directories(documents);
    }
    void TearDown() override { shutDown(); }
    void start(Direction direction) {
        shutDown();
        auto options = windowOptions();
        options.layoutDirection = direction;
        ASSERT_TRUE(launch(options)) << err.str();
    }
    double scale() {
        const auto image = window().capture();
        return static_cast<double>(image.width()) / host->window()->bounds().size.width;
    }
    // A click (or the `clicks`-th in a row) at a pixel column, on the field's middle row.
    void clickAt(double column, const ui::Rect& field, int clicks = 1) {
        const ui::Point at{column / scale(), field.midY()};
        window().mouseDown(at, display::DisplayHost::MouseButton::left, clicks);
        window().mouseUp(at);
        host->session().settle();
    }
    void drag(double fromColumn, double toColumn, const ui::Rect& field) {
        const double s = scale();
        window().mouseDown({fromColumn / s, field.midY()});
        for (int step = 1; step <= 4; ++step)
            window().mouseMove({(fromColumn + (toColumn - fromColumn) * step / 4) / s, field.midY()});
        window().mouseUp({toColumn / s, field.midY()});
        host->session().settle();
    }
    // The fields the window draws outside its views (the search field, an alert's fields).
    std::vector<ui::Rect> drawnFields() {
        window().capture();
        std::vector<ui::Rect> rects;
        for (const auto& target : window().chromeTargets())
            if (target.textPointer) rects.push_back(target.rect);
        return rects;
    }
    FieldPixels pixelsOf(const ui::Rect& field) {
        const auto image = window().capture();
        const double s = static_cast<double>(image.width()) / host->window()->bounds().size.width;
        const int left = static_cast<int>(field.minX() * s) + 1, right = static_cast<int>(field.maxX() * s) - 1;
        const int middle = static_cast<int>(field.midY() * s);
        // Glyphs are the label's colour: light on a dark field, dark on a light one.
        const auto plate = image.pixel(left, static_cast<int>(field.minY() * s) + 2);
        const bool dark = plate.r + plate.g + plate.b < 3 * 128;
        std::vector<bool> ink(static_cast<size_t>(image.width())), highlight = ink, caret = ink;
        for (int x = left; x < right; ++x) {
            for (int y = middle - static_cast<int>(4 * s); y <= middle + static_cast<int>(4 * s); ++y) {
                const auto p = image.pixel(x, y);
                const auto i = static_cast<size_t>(x);
                const int lightest = std::max({p.r, p.g, p.b}), darkest = std::min({p.r, p.g, p.b});
                const bool neutral = lightest - darkest < 30;
                if (neutral && (dark ? darkest > 170 : lightest < 90)) ink[i] = true;
                if (p.b > 200 && p.r < 90) {
                    caret[i] = true;
                } else if (p.b > p.r + 30 && !neutral) {
                    highlight[i] = true;
                }
            }
        }
        return {FieldPixels::spans(ink, static_cast<int>(5 * s)), FieldPixels::spans(highlight, 1),
                FieldPixels::spans(caret, 1)};
    }
    std::shared_ptr<ui::SearchBar> searchBar() const {
        return root()->navigationItem()->searchController()->searchBar();
    }
    std::shared_ptr<ui::AlertController> alert() const {
        return std::dynamic_pointer_cast<ui::AlertController>(host->window()->topPresentedViewController());
    }
    std::string barItem(const std::string& symbol) const {
        std::smatch found;
        const auto shown = screen();
        if (!std::regex_search(shown, found, std::regex("BarButtonItem #(\\d+) [^\\n]*sym:" + symbol))) return "#0";
        return "#" + found[1].str();
    }
    static std::string selected(const ui::TextInput& input) {
        const auto range = input.selectedTextRange();
        return input.inputText().substr(range.location, range.length);
    }
};

// In a window read from the left and in one read from the right, where the search field keeps its
// text at the right.
TEST_F(WindowTextFieldDisplay, TheSearchFieldSelectsWhatTheMouseAndTheArrowsPointAtInEitherDirection) {
    for (const auto direction : {Direction::leftToRight, Direction::rightToLeft}) {
        SCOPED_TRACE(direction == Direction::rightToLeft ? "right to left" : "left to right");
        start(direction);
        auto fields = drawnFields();
        ASSERT_EQ(fields.size(), 1u) << screen();
        clickAt(fields[0].midX() * scale(), fields[0]);
        auto bar = searchBar();
        ASSERT_TRUE(bar->isEditing());
        type("ab cd ef");
        fields = drawnFields();  // the field gives room to its Cancel button
        ASSERT_EQ(fields.size(), 1u);
        // Where the text shows: past the magnifying glass at the field's leading end.
        const bool rightToLeft = direction == Direction::rightToLeft;
        const ui::Rect field(fields[0].minX() + (rightToLeft ? 4 : 30), fields[0].minY(), fields[0].width() - 34,
                             fields[0].height());
        auto shown = pixelsOf(field);
        ASSERT_EQ(shown.ink.size(), 3u) << "three words drawn: " << FieldPixels::describe(shown.ink);

        // Everything selected: the highlight lies under the glyphs, not beside them.
        press(keyA, ui::Key::control);
        shown = pixelsOf(field);
        ASSERT_FALSE(shown.highlight.empty()) << "no selection drawn";
        EXPECT_NEAR(shown.highlightExtent().from, shown.inkExtent().from, 3);
        EXPECT_NEAR(shown.highlightExtent().to, shown.inkExtent().to, 3);

        // A click inside the second word puts the caret there, drawn where the click was.
        const auto words = pixelsOf(field).ink;
        clickAt(words[1].middle(), field);
        auto range = bar->selectedTextRange();
        EXPECT_EQ(range.length, 0u);
        EXPECT_GE(range.location, 3u);
        EXPECT_LE(range.location, 5u);
        shown = pixelsOf(field);
        ASSERT_EQ(shown.caret.size(), 1u) << "one caret drawn";
        EXPECT_NEAR(shown.caret[0].middle(), words[1].middle(), 6 * scale());

        // A double click selects the word under it; a drag selects from where it began.
        clickAt(words[2].middle(), field);
        clickAt(words[2].middle(), field, 2);
        EXPECT_EQ(selected(*bar), "ef");
        drag(words[0].from - 1, words[1].to + 1, field);
        EXPECT_EQ(selected(*bar), "ab cd");
        shown = pixelsOf(field);
        ASSERT_FALSE(shown.highlight.empty());
        EXPECT_NEAR(shown.highlightExtent().from, words[0].from, 3);
        EXPECT_NEAR(shown.highlightExtent().to, words[1].to, 3);

        // Right moves right in text read from the left, whichever way the window reads.
        press(ui::Key::home);
        press(ui::Key::rightArrow);
        EXPECT_EQ(bar->selectedTextRange(), (ui::TextRange{1, 0}));
        shutDown();
    }
}

TEST_F(WindowTextFieldDisplay, AnAlertFieldMovesThroughHebrewAsItShowsAndScrollsALongNameToTheCaret) {
    start(Direction::leftToRight);
    ASSERT_TRUE(command("click " + handleOf(root()->editButton().get())));
    ASSERT_TRUE(command("click " + barItem("folder.badge.plus")));
    ASSERT_TRUE(alert()) << screen();
    auto field = alert()->textFields().at(0);
    const auto box = drawnFields().at(0);

    // Hebrew reads from the right: its end shows at the left, and Right goes back into it.
    const std::string shalom = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D";
    type(shalom);
    EXPECT_EQ(field->selectedTextRange(), (ui::TextRange{8, 0}));
    press(ui::Key::leftArrow);
    EXPECT_EQ(field->selectedTextRange(), (ui::TextRange{8, 0})) << "the end is the leftmost place";
    press(ui::Key::rightArrow, ui::Key::shift);
    press(ui::Key::rightArrow, ui::Key::shift);
    EXPECT_EQ(field->selectedTextRange(), (ui::TextRange{4, 4, true}));
    auto shown = pixelsOf(box);
    ASSERT_FALSE(shown.highlight.empty()) << "no selection drawn";
    EXPECT_NEAR(shown.highlightExtent().from, shown.inkExtent().from, 3) << "the last two letters, at the left";
    EXPECT_LT(shown.highlightExtent().to, shown.inkExtent().to - 4);

    // A name longer than the field: what is typed last shows, and so does a selection of it.
    press(keyA, ui::Key::control);
    type("A folder name long enough to run well past the end of its field");
    for (int i = 0; i < 4; ++i) press(ui::Key::leftArrow, ui::Key::shift);
    EXPECT_EQ(selected(*field), "ield");
    shown = pixelsOf(box);
    ASSERT_FALSE(shown.highlight.empty()) << "the selection at the end is not shown";
    EXPECT_GT(shown.highlightExtent().to - shown.highlightExtent().from, 10 * scale());
    EXPECT_LT(shown.highlightExtent().to, box.maxX() * scale());
    EXPECT_GT(shown.highlightExtent().from, box.midX() * scale()) << "the end of the name shows at the right";
    // Home scrolls back to the start: the caret at the field's left end.
    press(ui::Key::home);
    shown = pixelsOf(box);
    ASSERT_EQ(shown.caret.size(), 1u);
    EXPECT_LT(shown.caret[0].from, box.minX() * scale() + 10 * scale());

    // Pasted text keeps to the field's one line: tabs and other control characters become spaces.
    display::SystemClipboard().setText("Trip\tnotes\x01\r\n2024");
    press(keyA, ui::Key::control);
    press(keyV, ui::Key::control);
    EXPECT_EQ(field->text(), "Trip notes  2024");
    press(ui::Key::escape);
}

TEST_F(WindowTextFieldDisplay, AClickInTheOpenURLFieldPlacesTheCaretAndADoubleClickSelectsAWord) {
    start(Direction::leftToRight);
    ASSERT_TRUE(command("click " + handleOf(root()->playButton().get())));
    ASSERT_TRUE(command("click \"Play URL\""));
    auto page = root()->openURLController()->rootView();
    auto field = page->addressField();
    ASSERT_TRUE(command("click " + handleOf(field.get())));
    ASSERT_TRUE(field->isEditing());
    const std::string url = "http://example.com/videos/clip.mp4";
    type(url);
    const ui::Rect rect(field->convertToWindow(field->bounds().origin), field->bounds().size);
    const auto shown = pixelsOf(rect);
    ASSERT_FALSE(shown.ink.empty());
    const auto ink = shown.inkExtent();
    // A third of the way in: "example.com".
    const double inside = ink.from + (ink.to - ink.from) / 3.0;
    clickAt(inside, rect);
    const auto range = field->selectedTextRange();
    EXPECT_EQ(range.length, 0u);
    EXPECT_GT(range.location, 7u) << "not before the host";
    EXPECT_LT(range.location, 18u) << "not after the host";
    clickAt(inside, rect, 2);
    EXPECT_EQ(selected(*field), "example.com");
}

}  // namespace
}  // namespace reelhaven
