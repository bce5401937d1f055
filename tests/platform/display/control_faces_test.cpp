// What controls and lists look like in pixels where a person saw them undrawn or see-through.

#include <gtest/gtest.h>

#include "painter_fixture.h"
#include "pixel_checks.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "platform/ui/lists/compositional_layout.h"
#include "platform/ui/lists/list_layout_configuration.h"

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
        for (int x = 0; x < 200; x += 5) ASSERT_LT(image.pixel(x, y).r, 100) << "red shows through at " << x << "," << y;
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

}  // namespace
}  // namespace display
