// The player's bars as a person sees them: the interface the player loads, in a window of a phone
// or a tablet held either way, solved by the real layout engine. Every control of the bottom bar
// lies inside the bar, none covers another, and the engine finds nothing left undecided.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "controls/bottom_control_view.h"
#include "controls/note_view.h"
#include "controls/title_view.h"
#include "controls/top_control_view.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/graphics/image.h"
#include "platform/ui/views/window.h"
#include "playback/reelhaven_storyboard.h"
#include "support/container_environment.h"

namespace reelhaven {
namespace {

// The bars read the skip interval and the fonts' settings.
[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new testing_support::ContainerEnvironment);

struct Screen {
    const char* name;
    ui::Size size;
    ui::EdgeInsets safeArea;
    ui::UserInterfaceSizeClass horizontal;
    ui::UserInterfaceSizeClass vertical;
    BottomControlView::Arrangement arrangement;
};

void PrintTo(const Screen& screen, std::ostream* out) { *out << screen.name; }

constexpr auto kCompact = ui::UserInterfaceSizeClass::compact;
constexpr auto kRegular = ui::UserInterfaceSizeClass::regular;

const Screen kScreens[] = {
    {"phone portrait", {390, 844}, {47, 0, 34, 0}, kCompact, kRegular, BottomControlView::Arrangement::stacked},
    {"phone landscape", {844, 390}, {0, 47, 21, 47}, kCompact, kCompact, BottomControlView::Arrangement::compact},
    {"large phone landscape", {932, 430}, {0, 59, 21, 59}, kRegular, kCompact, BottomControlView::Arrangement::wide},
    {"pad portrait", {820, 1180}, {24, 0, 20, 0}, kRegular, kRegular, BottomControlView::Arrangement::wide},
    {"pad landscape", {1180, 820}, {24, 0, 20, 0}, kRegular, kRegular, BottomControlView::Arrangement::wide},
};

struct LayoutWarnings {
    std::vector<std::string> lines;
    base::ScopedLogSink sink{[this](base::LogLevel, std::string_view category, std::string_view message) {
        if (category == "layout") lines.emplace_back(message);
    }};
};

ui::Rect inWindow(const ui::View& view) { return ui::Rect(view.convertToWindow({0, 0}), view.bounds().size); }

bool inside(const ui::Rect& inner, const ui::Rect& outer) {
    constexpr double slack = 1e-6;
    return inner.minX() >= outer.minX() - slack && inner.minY() >= outer.minY() - slack &&
           inner.maxX() <= outer.maxX() + slack && inner.maxY() <= outer.maxY() + slack;
}

bool overlap(const ui::Rect& a, const ui::Rect& b) {
    constexpr double slack = 1e-6;
    return a.minX() < b.maxX() - slack && b.minX() < a.maxX() - slack && a.minY() < b.maxY() - slack &&
           b.minY() < a.maxY() - slack;
}

std::string text(const ui::Rect& r) {
    return "(" + std::to_string(r.minX()) + "," + std::to_string(r.minY()) + " " + std::to_string(r.size.width) + "x" +
           std::to_string(r.size.height) + ")";
}

class PlayerInterfaceLayoutTest : public ::testing::TestWithParam<Screen> {
protected:
    void SetUp() override {
        const Screen& screen = GetParam();
        window = ui::Window::create(ui::Rect({0, 0}, screen.size));
        ui::TraitCollection traits;
        traits.horizontalSizeClass = screen.horizontal;
        traits.verticalSizeClass = screen.vertical;
        traits.userInterfaceIdiom = screen.size.width >= 700 && screen.size.height >= 700
                                        ? ui::UserInterfaceIdiom::pad
                                        : ui::UserInterfaceIdiom::phone;
        window->setTraitCollection(traits);
        interface = PlayerInterface::build();
        interface->root->setFrame(window->bounds());
        window->addSubview(interface->root);
        window->setSafeAreaInsets(screen.safeArea);
        window->setHidden(false);
        loop.runUntilIdle();
        window->layoutIfNeeded();
    }

    std::shared_ptr<BottomControlView> bottom() const { return interface->controlView->bottomControlView(); }

    dispatch::ScopedMainRunLoop loop;
    LayoutWarnings warnings;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<PlayerInterface> interface;
};

TEST_P(PlayerInterfaceLayoutTest, TheBottomBarsControlsLieInsideItAndApart) {
    auto bar = bottom();
    ASSERT_EQ(bar->arrangement(), GetParam().arrangement);
    const ui::Rect barFrame = inWindow(*bar);
    EXPECT_TRUE(inside(barFrame, window->bounds())) << text(barFrame);
    const std::vector<std::pair<const char*, std::shared_ptr<ui::View>>> controls{
        {"skip backward", bar->skipBackwardButton()},
        {"play/pause", bar->playPauseButton()},
        {"skip forward", bar->skipForwardButton()},
        {"progress bar", bar->progressBar()},
        {"progress label", bar->progressLabel()},
        {"duration label", bar->durationLabel()},
        {"options", bar->optionsButton()},
        {"audio/subtitles", bar->audioSubtitlesButton()},
    };
    for (const auto& [name, view] : controls) {
        const ui::Rect frame = inWindow(*view);
        EXPECT_GT(frame.size.width, 0) << name;
        EXPECT_GT(frame.size.height, 0) << name;
        EXPECT_TRUE(inside(frame, barFrame)) << name << " " << text(frame) << " outside the bar " << text(barFrame);
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const ui::Rect a = inWindow(*controls[i].second);
            const ui::Rect b = inWindow(*controls[j].second);
            EXPECT_FALSE(overlap(a, b)) << controls[i].first << " " << text(a) << " covers " << controls[j].first << " "
                                        << text(b);
        }
    }
    // The buttons keep their 50-point square and the labels show their whole text.
    for (size_t i : {0u, 1u, 2u, 6u, 7u})
        EXPECT_EQ(controls[i].second->bounds().size, ui::Size(50, 50)) << controls[i].first;
    for (const auto& label : {bar->progressLabel(), bar->durationLabel()}) {
        EXPECT_GE(label->bounds().size.width, label->intrinsicContentSize().width);
        EXPECT_GE(label->bounds().size.height, label->intrinsicContentSize().height);
    }
}

TEST_P(PlayerInterfaceLayoutTest, TheBarsAndOverlaysAreDecidedByTheirConstraints) {
    for (const auto& line : warnings.lines) {
        EXPECT_FALSE(line.starts_with("Ambiguous layout")) << line;
        for (const char* name : {"BottomControlView", "TopControlView", "DetailScrubber", "NoteView", "TitleView"})
            EXPECT_EQ(line.find(name), std::string::npos) << line;
    }
    // The top bar stays clear of the bottom one.
    auto top = interface->controlView->topControlView();
    EXPECT_FALSE(overlap(inWindow(*top), inWindow(*bottom())));
}

// What a skip button shows, painted: the largest patch of ink (the circle with its arrow head) and
// the height of the tallest other patch inside it (a digit of its number).
struct SkipGlyph {
    int left = 0, top = 0, right = -1, bottom = -1;  // the circle's box, inclusive
    bool inkedAtOne = false, inkedAtEleven = false;  // on the circle at one and eleven o'clock
    int digitHeight = 0;
    int stroke = 0;   // how thick the circle is at six o'clock, in pixels
    int whitest = 0;  // the palest channel of the circle's palest fully covered pixel (255: white)
};

SkipGlyph readSkipGlyph(const gfx::Image& image) {
    const int width = image.width(), height = image.height();
    auto inked = [&](int x, int y) { return image.pixel(x, y).a > 128 && image.pixel(x, y).g > 128; };
    std::vector<int> patch(static_cast<size_t>(width * height), -1);
    struct Box {
        int left, top, right, bottom;
        long count;
    };
    std::vector<Box> boxes;
    for (int y0 = 0; y0 < height; ++y0)
        for (int x0 = 0; x0 < width; ++x0) {
            if (patch[y0 * width + x0] >= 0 || !inked(x0, y0)) continue;
            Box box{x0, y0, x0, y0, 0};
            const int id = static_cast<int>(boxes.size());
            std::vector<std::pair<int, int>> stack{{x0, y0}};
            patch[y0 * width + x0] = id;
            while (!stack.empty()) {
                const auto [x, y] = stack.back();
                stack.pop_back();
                ++box.count;
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x), std::max(box.bottom, y),
                       box.count};
                for (const auto& [nx, ny] :
                     {std::pair(x + 1, y), std::pair(x - 1, y), std::pair(x, y + 1), std::pair(x, y - 1)}) {
                    if (nx < 0 || ny < 0 || nx >= width || ny >= height || patch[ny * width + nx] >= 0) continue;
                    if (!inked(nx, ny)) continue;
                    patch[ny * width + nx] = id;
                    stack.push_back({nx, ny});
                }
            }
            boxes.push_back(box);
        }
    SkipGlyph glyph;
    if (boxes.empty()) return glyph;
    const auto ring = std::max_element(boxes.begin(), boxes.end(), [](const Box& a, const Box& b) {
        return (a.right - a.left) * (a.bottom - a.top) < (b.right - b.left) * (b.bottom - b.top);
    });
    glyph = {ring->left, ring->top, ring->right, ring->bottom, false, false, 0};
    const int ringId = static_cast<int>(ring - boxes.begin());
    // The circle's centre and radius from its width (the head adds to its height only).
    const double radius = (ring->right - ring->left) / 2.0 - 1;
    const double cx = (ring->left + ring->right) / 2.0, cy = ring->bottom - 1 - radius;
    auto inkedAround = [&](double angle) {
        const int x = static_cast<int>(std::lround(cx + radius * std::sin(angle)));
        const int y = static_cast<int>(std::lround(cy - radius * std::cos(angle)));
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (x + dx >= 0 && y + dy >= 0 && x + dx < width && y + dy < height &&
                    patch[(y + dy) * width + x + dx] == ringId)
                    return true;
        return false;
    };
    const int bottomX = static_cast<int>(std::lround(cx));
    for (int y = ring->bottom; y >= ring->top && patch[y * width + bottomX] == ringId; --y) ++glyph.stroke;
    for (int y = ring->top; y <= ring->bottom; ++y)
        for (int x = ring->left; x <= ring->right; ++x) {
            const auto pixel = image.pixel(x, y);
            if (patch[y * width + x] == ringId && pixel.a == 255)
                glyph.whitest = std::max(glyph.whitest, static_cast<int>(std::min({pixel.r, pixel.g, pixel.b})));
        }
    glyph.inkedAtOne = inkedAround(0.7);
    glyph.inkedAtEleven = inkedAround(-0.7);
    for (const auto& box : boxes)
        if (&box != &*ring && box.left > ring->left && box.right < ring->right && box.top > ring->top &&
            box.bottom < ring->bottom)
            glyph.digitHeight = std::max(glyph.digitHeight, box.bottom - box.top + 1);
    return glyph;
}

// Back turns counter-clockwise and forward clockwise, and the seconds inside read: the circle is
// open ahead of its arrow head (at the top right going forward), and the digits are as tall as a
// small label's.
TEST_P(PlayerInterfaceLayoutTest, TheSkipButtonsTurnTheirOwnWaysAroundANumberThatReads) {
    display::ViewPainter painter{display::SymbolIcons::shared()};
    const auto back = readSkipGlyph(painter.paintImage(*bottom()->skipBackwardButton(), 1));
    const auto forward = readSkipGlyph(painter.paintImage(*bottom()->skipForwardButton(), 1));
    for (const auto& [name, glyph] : {std::pair("back", back), std::pair("forward", forward)}) {
        EXPECT_GE(glyph.digitHeight, 8) << name << ": the number is too small to read";
        EXPECT_GE(glyph.right - glyph.left + 1, 20) << name;
    }
    EXPECT_FALSE(forward.inkedAtOne) << "forward: open ahead of the head, at one o'clock";
    EXPECT_TRUE(forward.inkedAtEleven) << "forward: the circle comes round to the head";
    EXPECT_FALSE(back.inkedAtEleven) << "back: open ahead of the head, at eleven o'clock";
    EXPECT_TRUE(back.inkedAtOne) << "back: the circle comes round to the head";
}

// Whatever the skip interval, both skip buttons show the same circle: as large, as thick and as
// white as the 15-second one, turning its own way round a number that reads.
TEST_P(PlayerInterfaceLayoutTest, EverySkipIntervalIsDrawnAlikeInBothDirections) {
    display::ViewPainter painter{display::SymbolIcons::shared()};
    auto& interval = Preferences::shared().skipInterval;
    const std::string kept = interval.wrappedValue();
    auto paintBoth = [&](const std::string& seconds) {
        interval.setWrappedValue(seconds);
        interface->controlView->updateSkipIntervalIcons();
        window->layoutIfNeeded();
        return std::pair(readSkipGlyph(painter.paintImage(*bottom()->skipBackwardButton(), 2)),
                         readSkipGlyph(painter.paintImage(*bottom()->skipForwardButton(), 2)));
    };
    const auto [back15, forward15] = paintBoth("15");
    ASSERT_GE(back15.right - back15.left + 1, 40);
    for (const char* seconds : {"5", "10", "15", "30"}) {
        const auto [back, forward] = paintBoth(seconds);
        for (const auto& [name, glyph] : {std::pair("back", back), std::pair("forward", forward)}) {
            SCOPED_TRACE(std::string(seconds) + " s " + name);
            EXPECT_NEAR(glyph.right - glyph.left, back15.right - back15.left, 1) << "as wide";
            EXPECT_NEAR(glyph.bottom - glyph.top, back15.bottom - back15.top, 1) << "as tall";
            EXPECT_NEAR(glyph.stroke, back15.stroke, 1) << "as thick";
            EXPECT_GE(glyph.whitest, 250) << "white";
            EXPECT_GE(glyph.digitHeight, 14) << "a number that reads";
        }
        EXPECT_FALSE(forward.inkedAtOne) << seconds;
        EXPECT_TRUE(forward.inkedAtEleven) << seconds;
        EXPECT_FALSE(back.inkedAtEleven) << seconds;
        EXPECT_TRUE(back.inkedAtOne) << seconds;
    }
    EXPECT_EQ(forward15.stroke, back15.stroke);
    interval.setWrappedValue(kept);
    interface->controlView->updateSkipIntervalIcons();
}

// The two time labels read as two times: their texts keep a gap, down to the smallest window,
// where the bar between the buttons is narrowest.
class PlayerTimeLabelsTest : public PlayerInterfaceLayoutTest {};

TEST_P(PlayerTimeLabelsTest, TheTwoTimesKeepAGap) {
    auto bar = bottom();
    bar->progressLabel()->setText("0:02");
    bar->durationLabel()->setText("-0:12");
    window->layoutIfNeeded();
    // Where each text is drawn: at the leading end of the progress label, the trailing end of the
    // duration label, or centred, as each is aligned.
    auto textRect = [](const ui::Label& label) {
        const ui::Rect frame = inWindow(label);
        const double width = std::min(label.intrinsicContentSize().width, frame.size.width);
        double x = frame.minX();
        if (label.textAlignment() == ui::TextAlignment::right) x = frame.maxX() - width;
        if (label.textAlignment() == ui::TextAlignment::center) x = frame.midX() - width / 2;
        return ui::Rect(x, frame.minY(), width, frame.size.height);
    };
    const ui::Rect progress = textRect(*bar->progressLabel());
    const ui::Rect duration = textRect(*bar->durationLabel());
    EXPECT_GE(bar->progressLabel()->bounds().size.width, bar->progressLabel()->intrinsicContentSize().width)
        << "the whole time shows";
    EXPECT_GE(bar->durationLabel()->bounds().size.width, bar->durationLabel()->intrinsicContentSize().width)
        << "the whole time shows";
    if (progress.minY() < duration.maxY() && duration.minY() < progress.maxY()) {  // on one line
        EXPECT_GE(duration.minX() - progress.maxX(), 6) << text(progress) << " and " << text(duration);
    }
}

std::string screenName(const ::testing::TestParamInfo<Screen>& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        if (c == ' ') c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Screens, PlayerInterfaceLayoutTest, ::testing::ValuesIn(kScreens), screenName);

const Screen kTimeLabelScreens[] = {
    kScreens[0],
    kScreens[1],
    kScreens[3],
    {"smallest window", {390, 390}, {0, 0, 0, 0}, kCompact, kCompact, BottomControlView::Arrangement::compact},
};
INSTANTIATE_TEST_SUITE_P(Screens, PlayerTimeLabelsTest, ::testing::ValuesIn(kTimeLabelScreens), screenName);

}  // namespace
}  // namespace reelhaven
