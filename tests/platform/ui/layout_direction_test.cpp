// An interface read right to left mirrors its layout: leading and trailing constraints swap
// edges, rows of stack views and lists run from the right, and a row's image, texts and
// accessory trade sides. Views forced left to right (or marked as playback controls) keep theirs.
#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/gestures/finger.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/flow_layout.h"
#include "platform/ui/lists/list_content_view.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// Content of a fixed size.
class Box : public View {
public:
    static std::shared_ptr<Box> create(Size content) {
        auto box = make<Box>();
        box->content = content;
        box->setTranslatesAutoresizingMaskIntoConstraints(false);
        return box;
    }
    Size intrinsicContentSize() const override { return content; }
    Size content;
};

class LayoutDirectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        TraitCollection traits = window->windowTraitCollection();
        traits.layoutDirection = TraitEnvironmentLayoutDirection::rightToLeft;
        window->setTraitCollection(traits);
        window->addSubview(root);
        window->makeKeyAndVisible();
    }
    // `view` pinned 20 points inside its container's leading edge and 10 inside the trailing one.
    static void pinSides(const std::shared_ptr<View>& view, View& container) {
        LayoutConstraint::activate({
            view->leadingAnchor().constraint(container.leadingAnchor(), 20),
            view->trailingAnchor().constraint(container.trailingAnchor(), -10),
            view->topAnchor().constraint(container.topAnchor()),
        });
    }

    // A finger put down and lifted at `point`: whether it changed anything.
    bool touch(Point point) {
        Finger finger(window);
        finger.down(point);
        finger.up(point);
        return finger.changedSomething();
    }
    static std::shared_ptr<ImageView> indicatorOf(View& cell) {
        for (const auto& view : cell.subviews())
            if (view->className() == "CellAccessoryIndicatorView") return std::dynamic_pointer_cast<ImageView>(view);
        return nullptr;
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 300, 400));
    std::shared_ptr<View> root = View::create(Rect(0, 0, 300, 400));
};

TEST_F(LayoutDirectionTest, LeadingAndTrailingSwapEdgesUnlessTheViewIsForcedLeftToRight) {
    auto mirrored = Box::create({View::noIntrinsicMetric, 10});
    root->addSubview(mirrored);
    pinSides(mirrored, *root);
    auto forced = View::create(Rect(0, 100, 300, 100));
    forced->setSemanticContentAttribute(SemanticContentAttribute::forceLeftToRight);
    root->addSubview(forced);
    auto inForced = Box::create({View::noIntrinsicMetric, 10});
    forced->addSubview(inForced);
    pinSides(inForced, *forced);
    window->layoutIfNeeded();
    EXPECT_TRUE(mirrored->isRightToLeft());
    EXPECT_EQ(mirrored->frame(), Rect(10, 0, 270, 10));
    EXPECT_FALSE(inForced->isRightToLeft());
    EXPECT_EQ(inForced->frame(), Rect(20, 0, 270, 10));
}

TEST_F(LayoutDirectionTest, ARowStackRunsFromTheRightWithItsSpacingInReadingOrder) {
    auto a = Box::create({40, 20});
    auto b = Box::create({60, 20});
    auto c = Box::create({100, 20});
    auto stack = StackView::create({a, b, c});
    stack->setCustomSpacing(5, a);
    stack->setSpacing(10);
    stack->setFrame(Rect(0, 0, 215, 20));  // exactly the boxes and their spacing
    root->addSubview(stack);
    window->layoutIfNeeded();
    EXPECT_EQ(a->frame(), Rect(175, 0, 40, 20));
    EXPECT_EQ(b->frame(), Rect(110, 0, 60, 20));
    EXPECT_EQ(c->frame(), Rect(0, 0, 100, 20));

    // Playback controls keep their order.
    stack->setSemanticContentAttribute(SemanticContentAttribute::playback);
    window->layoutIfNeeded();
    EXPECT_EQ(a->frame(), Rect(0, 0, 40, 20));
    EXPECT_EQ(b->frame(), Rect(45, 0, 60, 20));
    EXPECT_EQ(c->frame(), Rect(115, 0, 100, 20));

    // A column read right to left keeps its leading views at the right.
    auto column = StackView::create({Box::create({40, 20})});
    column->setAxis(LayoutAxis::vertical);
    column->setAlignment(StackViewAlignment::leading);
    column->setFrame(Rect(0, 100, 300, 20));
    root->addSubview(column);
    window->layoutIfNeeded();
    EXPECT_EQ(column->arrangedSubviews()[0]->frame(), Rect(260, 0, 40, 20));
}

TEST_F(LayoutDirectionTest, AGridsFirstItemIsAtTheRightAndARowsImageTextsAndAccessoryTradeSides) {
    class Items : public CollectionViewDataSource {
    public:
        int numberOfItems(CollectionView&, int) override { return 3; }
        std::shared_ptr<CollectionViewCell> cellForItem(CollectionView& view, const IndexPath& p) override {
            return view.dequeueCell("cell", p);
        }
    };
    auto flow = FlowLayout::create();
    flow->itemSize = {100, 50};
    auto grid = CollectionView::create(Rect(0, 0, 300, 200), flow);
    auto items = std::make_shared<Items>();
    grid->registerCell("cell", [] { return CollectionViewCell::create(); });
    grid->setDataSource(items);
    root->addSubview(grid);
    grid->reloadData();
    window->layoutIfNeeded();
    ASSERT_TRUE(grid->cellAt({0, 0}));
    EXPECT_EQ(grid->cellAt({0, 0})->frame().maxX(), 300);
    EXPECT_LT(grid->cellAt({0, 1})->frame().maxX(), grid->cellAt({0, 0})->frame().minX());

    auto cell = TableViewCell::create(TableViewCellStyle::value1);
    cell->setFrame(Rect(0, 300, 300, 44));
    root->addSubview(cell);
    cell->imageView()->setImage(Image::systemImage("gear"));
    cell->textLabel()->setText("Speed");
    cell->detailTextLabel()->setText("1.0");
    cell->setAccessoryType(TableViewCellAccessoryType::disclosureIndicator);
    window->layoutIfNeeded();
    const auto image = cell->imageView()->frame();
    const auto title = cell->textLabel()->frame();
    const auto detail = cell->detailTextLabel()->frame();
    EXPECT_EQ(image.maxX(), 300 - ListContentView::kHorizontalInset);
    EXPECT_LT(title.maxX(), image.minX());
    EXPECT_LT(detail.maxX(), title.minX());
    const double indicatorRight = TableViewCell::kAccessoryTrailingInset + 13;
    EXPECT_GE(detail.minX(), indicatorRight + ListContentView::kHorizontalInset);
    // The chevron at the left points left, on along the row; it turns back when the window does.
    const auto indicator = indicatorOf(*cell);
    ASSERT_TRUE(indicator && indicator->image());
    EXPECT_EQ(indicator->frame().minX(), TableViewCell::kAccessoryTrailingInset);
    EXPECT_EQ(indicator->image()->symbolName(), "chevron.left");
    auto traits = window->windowTraitCollection();
    traits.layoutDirection = TraitEnvironmentLayoutDirection::leftToRight;
    window->setTraitCollection(traits);
    window->layoutIfNeeded();
    EXPECT_EQ(indicator->image()->symbolName(), "chevron.right");
    EXPECT_EQ(indicator->frame().maxX(), 300 - TableViewCell::kAccessoryTrailingInset);
}

TEST_F(LayoutDirectionTest, SegmentsRunFromTheRightAndASliderGrowsLeftwardsUnlessItIsATimeline) {
    auto segments = SegmentedControl::create({"Playlist", "Chapters"});
    segments->setFrame(Rect(0, 0, 200, 32));
    root->addSubview(segments);
    EXPECT_EQ(segments->segmentAt({150, 16}), 0) << "the first segment at the right";
    EXPECT_EQ(segments->segmentFrame(1), Rect(0, 0, 100, 32));
    EXPECT_TRUE(touch({50, 16}));
    EXPECT_EQ(segments->selectedSegmentIndex(), 1);

    auto slider = Slider::create(Rect(0, 100, 300, 30));
    slider->setMaximumValue(10);
    root->addSubview(slider);
    touch({30, 115});
    EXPECT_NEAR(slider->value(), 9, 0.01) << "the maximum at the left end";
    EXPECT_NEAR(slider->pointInWindow(2).x, 240, 0.01);
    // A timeline keeps left to right, as its playback controls do.
    slider->setSemanticContentAttribute(SemanticContentAttribute::playback);
    touch({30, 115});
    EXPECT_NEAR(slider->value(), 1, 0.01);
}

}  // namespace
}  // namespace ui
