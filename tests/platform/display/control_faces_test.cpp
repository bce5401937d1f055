// What controls and lists look like in pixels where a person saw them undrawn or see-through.

#include <gtest/gtest.h>

#include "painter_fixture.h"
#include "pixel_checks.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "platform/ui/lists/compositional_layout.h"
#include "platform/ui/lists/list_layout_configuration.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/image_view.h"

namespace display {
namespace {

using ui::Color;
using ui::Rect;

class ControlFacesTest : public PainterFixture {};

// The pixels in `r` that are white-ish and strong: a glyph drawn in a white tint.
int whiteInk(const gfx::Image& image, Rect r, int atLeast = 200) {
    int count = 0;
    for (int y = int(r.minY()); y < int(r.maxY()); ++y)
        for (int x = int(r.minX()); x < int(r.maxX()); ++x) {
            const auto p = image.pixel(x, y);
            if (p.r >= atLeast && p.g >= atLeast && p.b >= atLeast) ++count;
        }
    return count;
}

TEST_F(ControlFacesTest, AStepperDrawsBothHalvesAndFadesTheHalfThatWouldLeaveALimit) {
    auto root = makeView(Rect(0, 0, 94, 29), Color::black());
    auto stepper = ui::Stepper::create(Rect(0, 0, 94, 29));
    stepper->setTintColor(Color::white());
    stepper->setMinimumValue(0);
    stepper->setMaximumValue(2);
    stepper->setValue(1);
    root->addSubview(stepper);
    const Rect minus(0, 0, 47, 29), plus(47, 0, 47, 29);
    auto image = paint(*root);
    const int minusInk = whiteInk(image, minus), plusInk = whiteInk(image, plus);
    EXPECT_GT(minusInk, 8) << "the minus half shows its sign";
    EXPECT_GT(plusInk, minusInk) << "the plus sign has a bar more than the minus";
    // The plus sign's upright: ink above and below the centre of the plus half only.
    EXPECT_GT(whiteInk(image, Rect(68, 6, 4, 6)), 0);
    EXPECT_EQ(whiteInk(image, Rect(21, 6, 4, 6)), 0);

    stepper->setValue(2);  // at the maximum: plus cannot step
    image = paint(*root);
    EXPECT_EQ(whiteInk(image, plus), 0) << "a disabled half is faint";
    EXPECT_GT(whiteInk(image, plus, 40), 8) << "but still drawn";
    EXPECT_EQ(whiteInk(image, minus), minusInk);
}

// The rows of `r` that hold ink of the colour `c` (an exact channel match within a few levels).
std::vector<int> rowsInColour(const gfx::Image& image, Rect r, Color c) {
    std::vector<int> rows;
    for (int y = int(r.minY()); y < int(r.maxY()); ++y)
        for (int x = int(r.minX()); x < int(r.maxX()); ++x) {
            const auto p = image.pixel(x, y);
            if (p.a > 128 && isColor(p, int(c.red * 255), int(c.green * 255), int(c.blue * 255), p.a, 40)) {
                rows.push_back(y);
                break;
            }
        }
    return rows;
}

TEST_F(ControlFacesTest, AButtonWhoseTitleLabelWasAskedForDrawsItsTitleOnceInsideItself) {
    // As the screens set their buttons up: the title label's font changed, the button placed
    // away from its superview's origin, then laid out.
    auto root = makeView(Rect(0, 0, 240, 100), Color::black());
    auto button = ui::Button::create(ui::ButtonType::system);
    button->setTitle("Play", ui::normal);
    button->titleLabel()->setFont(ui::Font::systemFont(17, ui::FontWeight::semibold));
    button->setTintColor(Color::redColor());
    button->setFrame(Rect(100, 50, 120, 40));
    root->addSubview(button);
    root->layoutIfNeeded();
    auto image = paint(*root);
    const auto rows = rowsInColour(image, Rect(0, 0, 240, 100), Color::redColor());
    ASSERT_FALSE(rows.empty()) << "the title is drawn, in the tint";
    EXPECT_GE(rows.front(), 50) << "not above the button";
    EXPECT_LE(rows.back(), 90);
    EXPECT_LT(rows.back() - rows.front(), 20) << "one line of text, not two copies";
    EXPECT_TRUE(rowsInColour(image, Rect(0, 0, 240, 50), Color::white()).empty());
    // A title that does not fit the button's height keeps its top: the label is the text's height.
    const auto title = button->titleLabel()->frame();
    EXPECT_NEAR(title.midY(), 20, 1);
    EXPECT_GT(title.size.width, 20);

    // Disabled, the title fades with the button.
    button->setEnabled(false);
    image = paint(*root);
    EXPECT_TRUE(rowsInColour(image, Rect(100, 50, 120, 40), Color::redColor()).empty());
}

TEST_F(ControlFacesTest, EverySymbolTheScreensNameHasItsOwnGlyph) {
    auto glyph = [this](const std::string& name) {
        auto root = makeView(Rect(0, 0, 32, 32));
        auto view = ui::ImageView::create(ui::Image::systemImage(name));
        view->setFrame(Rect(0, 0, 32, 32));
        view->setTintColor(Color::white());
        root->addSubview(view);
        return paint(*root);
    };
    auto inked = [](const gfx::Image& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y).a > 128;
        return count;
    };
    // The names the player's bars and popovers, the library and the transfer screen use, next to
    // the name a wrong drawing stood in for them with.
    const std::vector<std::pair<std::string, std::string>> distinct{
        {"speedometer", "gear"},
        {"repeat", "arrowshape.bounce.right"},
        {"stopwatch", "gear"},
        {"sparkles", "photo"},
        {"textformat.size", "text.cursor"},
        {"camera.viewfinder", "photo"},
        {"rectangle.stack", "rectangle"},
        {"wifi.slash", "wifi"},
        {"gobackward.15", "gobackward"},
        {"gobackward.15", "gobackward.30"},
        {"gobackward.10", "gobackward.5"},
        {"goforward.15", "gobackward.15"},
        {"goforward.5", "goforward.10"},
        {"goforward.30", "goforward.15"},
    };
    for (const auto& [name, other] : distinct) {
        const auto mine = glyph(name);
        EXPECT_GT(inked(mine), 20) << name << " is drawn";
        EXPECT_GT(difference(mine, glyph(other)).pixels, 20) << name << " looks like " << other;
    }
}

TEST_F(ControlFacesTest, ASliderDrawsTheThumbImageItIsGivenOnItsValueInPlaceOfTheKnob) {
    auto root = makeView(Rect(0, 0, 200, 40), Color::black());
    auto slider = ui::Slider::create(Rect(0, 0, 200, 40));
    slider->setMinimumTrackTintColor(Color::blueColor());
    slider->setMaximumTrackTintColor(Color::blueColor());
    slider->setValue(0.5);
    root->addSubview(slider);
    EXPECT_GT(whiteInk(paint(*root), Rect(80, 0, 40, 40)), 100) << "without an image, the white knob";

    // The player's scrubber: a clear thumb of the knob's size, so only the track shows.
    gfx::Image clear(24, 24);
    for (auto state : {ui::normal, ui::highlighted}) slider->setThumbImage(ui::Image::create(clear), state);
    auto image = paint(*root);
    EXPECT_EQ(whiteInk(image, Rect(0, 0, 200, 40), 120), 0) << "no knob over a clear thumb";
    EXPECT_TRUE(isColor(image.pixel(100, 20), 0, 0, 255));

    // A red dot thumb is drawn centred where the value lies on the track.
    gfx::Image dot(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) dot.setPixel(x, y, {255, 0, 0, 255});
    slider->setThumbImage(ui::Image::create(dot), ui::normal);
    slider->setValue(0.25);
    image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(50, 20), 255, 0, 0));
    EXPECT_TRUE(isColor(image.pixel(100, 20), 0, 0, 255));
}

TEST_F(ControlFacesTest, ReadRightToLeftControlsAreDrawnMirrored) {
    auto root = makeView(Rect(0, 0, 200, 160), Color::black());
    root->setSemanticContentAttribute(ui::SemanticContentAttribute::forceRightToLeft);
    // A slider a quarter along from its minimum, which is at its right end.
    auto slider = ui::Slider::create(Rect(0, 0, 200, 40));
    slider->setMinimumTrackTintColor(Color::redColor());
    slider->setMaximumTrackTintColor(Color::blueColor());
    slider->setValue(0.25);
    root->addSubview(slider);
    // A switch that is on has its knob at the left.
    auto toggle = ui::Switch::create(Rect(0, 50, 51, 31));
    toggle->setOn(true);
    root->addSubview(toggle);
    // A field's placeholder keeps to its right.
    auto field = ui::TextField::create(Rect(0, 100, 200, 36));
    field->setPlaceholder("Search");
    root->addSubview(field);

    const auto image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(190, 20), 255, 0, 0, 255, 40)) << "the filled part at the right";
    EXPECT_TRUE(isColor(image.pixel(60, 20), 0, 0, 255, 255, 40)) << "the rest at the left";
    EXPECT_GT(whiteInk(image, Rect(2, 52, 24, 27)), 100) << "the knob at the left";
    EXPECT_EQ(whiteInk(image, Rect(32, 52, 17, 27)), 0);
    const auto inkIn = [&](Rect r) {
        int count = 0;
        for (int y = int(r.minY()); y < int(r.maxY()); ++y)
            for (int x = int(r.minX()); x < int(r.maxX()); ++x) count += image.pixel(x, y).g > 60;
        return count;
    };
    EXPECT_GT(inkIn(Rect(130, 104, 65, 28)), 20) << "the placeholder at the right";
    EXPECT_EQ(inkIn(Rect(5, 104, 100, 28)), 0);
}

struct Row {
    int n;
    bool operator==(const Row&) const = default;
    struct Hash {
        std::size_t operator()(const Row& r) const { return std::hash<int>()(r.n); }
    };
};

TEST_F(ControlFacesTest, AGroupedListCoversWhatLiesUnderItAndItsRowsShowTheirCards) {
    // A list over a red screen, as a picker presented over another screen.
    auto root = makeView(Rect(0, 0, 200, 200), Color::redColor());
    ui::ListLayoutConfiguration configuration;
    configuration.appearance = ui::CollectionLayoutSection::ListAppearance::insetGrouped;
    auto list = ui::CollectionView::create(Rect(0, 0, 200, 200), ui::CompositionalLayout::createList(configuration));
    root->addSubview(list);
    list->registerCell("cell", [] { return ui::CollectionViewCell::create(); });
    using Source = ui::CollectionViewDiffableDataSource<int, Row, Row::Hash>;
    auto source = Source::create(list, [](ui::CollectionView& view, const ui::IndexPath& path, const Row&) {
        return view.dequeueCell("cell", path);
    });
    Source::Snapshot snapshot;
    snapshot.appendSections({0});
    snapshot.appendItems({Row{1}, Row{2}}, 0);
    source->apply(snapshot, false);
    list->layoutIfNeeded();
    auto image = paint(*root);
    for (int y = 0; y < 200; y += 5)
        for (int x = 0; x < 200; x += 5)
            ASSERT_LT(image.pixel(x, y).r, 100) << "red shows through at " << x << "," << y;
    // The first row: a card in the secondary background, inset from the edges where the
    // list's own background shows.
    const auto cell = list->cellAt({0, 0});
    ASSERT_TRUE(cell);
    const auto centre = cell->convert(cell->bounds().center(), root.get());
    EXPECT_TRUE(isColor(image.pixel(int(centre.x), int(centre.y)), 28, 28, 30));
    EXPECT_TRUE(isColor(image.pixel(5, int(centre.y)), 0, 0, 0));

    // A colour the screen sets replaces the list's own.
    list->setBackgroundColor(Color::blueColor());
    EXPECT_TRUE(isColor(paint(*root).pixel(5, int(centre.y)), 0, 0, 255));
}

TEST_F(ControlFacesTest, AListsBackgroundViewStaysBehindTheRowsWhereverTheyScroll) {
    // A clear list with a green background view, as the player's popovers set their blur.
    auto root = makeView(Rect(0, 0, 100, 200), Color::redColor());
    auto list = ui::CollectionView::create(Rect(0, 0, 100, 200),
                                           ui::CompositionalLayout::createList(ui::ListLayoutConfiguration{}));
    list->setBackgroundColor(Color::clear());
    auto background = makeView(Rect(), Color::greenColor());
    list->setBackgroundView(background);
    root->addSubview(list);
    list->registerCell("cell", [] { return ui::CollectionViewCell::create(); });
    using Source = ui::CollectionViewDiffableDataSource<int, Row, Row::Hash>;
    auto source = Source::create(list, [](ui::CollectionView& view, const ui::IndexPath& path, const Row&) {
        return view.dequeueCell("cell", path);
    });
    Source::Snapshot snapshot;
    snapshot.appendSections({0});
    for (int i = 0; i < 20; ++i) snapshot.appendItems({Row{i}}, 0);
    source->apply(snapshot, false);
    list->layoutIfNeeded();
    const auto bottomAfterScrolling = [&](double offset) {
        list->setContentOffset({0, offset});
        return paint(*root).pixel(50, 195);
    };
    EXPECT_TRUE(isColor(bottomAfterScrolling(0), 0, 255, 0));
    EXPECT_TRUE(isColor(bottomAfterScrolling(400), 0, 255, 0)) << "the background scrolled away";
    EXPECT_EQ(list->subviews().front(), background) << "behind the rows shown since";
}

}  // namespace
}  // namespace display
