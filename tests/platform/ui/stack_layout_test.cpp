// Frames of stack views: every distribution and alignment, spacing and hidden views.
#include <gtest/gtest.h>

#include "platform/base/log.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/image.h"

namespace ui {

namespace {

// Content of a fixed size, with a baseline when asked.
class Box : public View {
public:
    static std::shared_ptr<Box> create(Size content, double baseline = -1) {
        auto box = make<Box>();
        box->content = content;
        box->baseline = baseline;
        return box;
    }
    Size intrinsicContentSize() const override { return content; }
    std::pair<double, double> layoutBaselines() const override { return {baseline, baseline}; }
    Size content;
    double baseline = -1;
};

class StackLayoutTest : public ::testing::Test {
protected:
    // A row of boxes 40, 60 and 100 wide (heights 20, 30, 10) in a 300 x 50 stack.
    void SetUp() override {
        a = Box::create({40, 20}, 15);
        b = Box::create({60, 30}, 25);
        c = Box::create({100, 10}, 8);
        stack = StackView::create({a, b, c});
        stack->setFrame(Rect(0, 0, 300, 50));
        root->addSubview(stack);
    }

    std::vector<Rect> frames() {
        root->layoutIfNeeded();
        return {a->frame(), b->frame(), c->frame()};
    }

    std::shared_ptr<View> root = View::create(Rect(0, 0, 400, 400));
    std::shared_ptr<Box> a, b, c;
    std::shared_ptr<StackView> stack;
};

using Frames = std::vector<Rect>;

TEST_F(StackLayoutTest, FillStretchesTheViewThatHugsLeastAndShrinksTheOneThatResistsLeast) {
    stack->setSpacing(10);
    b->setContentHuggingPriority(200, LayoutAxis::horizontal);
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 50}, {50, 0, 140, 50}, {200, 0, 100, 50}}));
    // With equal priorities the first view gives way.
    b->setContentHuggingPriority(LayoutPriority::defaultLow, LayoutAxis::horizontal);
    EXPECT_EQ(frames(), (Frames{{0, 0, 120, 50}, {130, 0, 60, 50}, {200, 0, 100, 50}}));
    stack->setFrame(Rect(0, 0, 190, 50));
    c->setContentCompressionResistancePriority(700, LayoutAxis::horizontal);
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 50}, {50, 0, 60, 50}, {120, 0, 70, 50}}));
    // Custom spacing after a view.
    stack->setFrame(Rect(0, 0, 300, 50));
    stack->setCustomSpacing(30, a);
    EXPECT_EQ(frames(), (Frames{{0, 0, 100, 50}, {130, 0, 60, 50}, {200, 0, 100, 50}}));
}

TEST_F(StackLayoutTest, FillEquallyAndFillProportionally) {
    stack->setFrame(Rect(0, 0, 320, 50));
    stack->setSpacing(10);
    stack->setDistribution(StackViewDistribution::fillEqually);
    EXPECT_EQ(frames(), (Frames{{0, 0, 100, 50}, {110, 0, 100, 50}, {220, 0, 100, 50}}));
    // 40 : 60 : 100 of the 300 points left after spacing.
    stack->setDistribution(StackViewDistribution::fillProportionally);
    EXPECT_EQ(frames(), (Frames{{0, 0, 60, 50}, {70, 0, 90, 50}, {170, 0, 150, 50}}));
}

TEST_F(StackLayoutTest, EqualSpacingAndEqualCentering) {
    stack->setSpacing(10);
    stack->setDistribution(StackViewDistribution::equalSpacing);
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 50}, {90, 0, 60, 50}, {200, 0, 100, 50}}));
    stack->setDistribution(StackViewDistribution::equalCentering);
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 50}, {105, 0, 60, 50}, {200, 0, 100, 50}}));
    // Too little room: spacing stays at its minimum and the views shrink. Equal spacing shrinks
    // the view that resists least (the first); equal centring shrinks the one that keeps the
    // centres closest to even.
    stack->setFrame(Rect(0, 0, 210, 50));
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 50}, {50, 0, 60, 50}, {120, 0, 90, 50}}));
    stack->setDistribution(StackViewDistribution::equalSpacing);
    EXPECT_EQ(frames(), (Frames{{0, 0, 30, 50}, {40, 0, 60, 50}, {110, 0, 100, 50}}));
}

TEST_F(StackLayoutTest, AlignmentsAcrossTheAxis) {
    stack->setDistribution(StackViewDistribution::equalSpacing);
    stack->setAlignment(StackViewAlignment::leading);
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 20}, {90, 0, 60, 30}, {200, 0, 100, 10}}));
    stack->setAlignment(StackViewAlignment::center);
    EXPECT_EQ(frames(), (Frames{{0, 15, 40, 20}, {90, 10, 60, 30}, {200, 20, 100, 10}}));
    stack->setAlignment(StackViewAlignment::trailing);
    EXPECT_EQ(frames(), (Frames{{0, 30, 40, 20}, {90, 20, 60, 30}, {200, 40, 100, 10}}));
    // Baselines at 15, 25 and 8 below the tops line up; the tallest reach touches the top.
    stack->setAlignment(StackViewAlignment::firstBaseline);
    EXPECT_EQ(frames(), (Frames{{0, 10, 40, 20}, {90, 0, 60, 30}, {200, 17, 100, 10}}));
    stack->setAlignment(StackViewAlignment::fill);
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 50}, {90, 0, 60, 50}, {200, 0, 100, 50}}));
}

TEST(StackLabelLayoutTest, LabelsOfDifferentSizesLineUpOnTheirFirstAndLastBaselines) {
    auto root = View::create(Rect(0, 0, 400, 400));
    auto small = Label::create();
    small->setText("Speed");
    small->setFont(Font::systemFont(12));
    auto large = Label::create();
    large->setText("1.0x");
    large->setFont(Font::systemFont(30));
    auto stack = StackView::create({small, large});
    stack->setFrame(Rect(0, 0, 300, 100));
    root->addSubview(stack);
    // The text's own baseline, not the label's bottom edge (the descenders differ by size).
    const auto baselineOf = [](const Label& label) {
        return label.frame().minY() + TextFrame::create(*label.text(), label.font(), {}).lines().front().origin.y;
    };
    for (const auto alignment : {StackViewAlignment::firstBaseline, StackViewAlignment::lastBaseline}) {
        stack->setAlignment(alignment);
        root->layoutIfNeeded();
        EXPECT_NEAR(baselineOf(*small), baselineOf(*large), 0.5);
        EXPECT_NE(small->frame().maxY(), large->frame().maxY());
    }
    auto empty = Label::create();
    EXPECT_EQ(empty->layoutBaselines(), std::make_pair(-1.0, -1.0));
}

TEST_F(StackLayoutTest, HiddenViewsCollapseAndTakeNoSpacing) {
    stack->setFrame(Rect(0, 0, 310, 50));
    stack->setSpacing(10);
    stack->setDistribution(StackViewDistribution::fillEqually);
    b->setHidden(true);
    EXPECT_EQ(frames(), (Frames{{0, 0, 150, 50}, {150, 0, 0, 50}, {160, 0, 150, 50}}));
    b->setHidden(false);
    const Rect middle = frames()[1];
    EXPECT_NEAR(middle.origin.x, 106.666667, 1e-6);
    EXPECT_NEAR(middle.size.width, 96.666667, 1e-6);
}

TEST_F(StackLayoutTest, AColumnCentresAcrossAndStretchesTheFirstView) {
    stack->setAxis(LayoutAxis::vertical);
    stack->setFrame(Rect(0, 0, 100, 200));
    stack->setSpacing(5);
    stack->setAlignment(StackViewAlignment::center);
    EXPECT_EQ(frames(), (Frames{{30, 0, 40, 150}, {20, 155, 60, 30}, {0, 190, 100, 10}}));
}

TEST_F(StackLayoutTest, AStackNothingSizesFitsItsContentInsideItsMargins) {
    stack->setTranslatesAutoresizingMaskIntoConstraints(false);
    stack->setSpacing(10);
    LayoutConstraint::activate({stack->leadingAnchor().constraint(root->leadingAnchor(), 10),
                                stack->topAnchor().constraint(root->topAnchor(), 10)});
    EXPECT_EQ(frames(), (Frames{{0, 0, 40, 30}, {50, 0, 60, 30}, {120, 0, 100, 30}}));
    EXPECT_EQ(stack->frame(), Rect(10, 10, 220, 30));
    stack->setLayoutMargins(EdgeInsets{4, 6, 4, 6});
    stack->setLayoutMarginsRelativeArrangement(true);
    EXPECT_EQ(frames()[0], Rect(6, 4, 40, 30));
    EXPECT_EQ(stack->frame(), Rect(10, 10, 232, 38));
}

TEST_F(StackLayoutTest, AnEmptySpacerInStacksNothingSizesKeepsNoNegativeLengthAndNoneOverlap) {
    // A column of a 30-high box over an empty spacer, beside a 50-high box, in a row whose height
    // only its content decides: the spacer could go below zero and let the column shrink past its
    // box; it keeps 0 and the column its box's height, with nothing left undecided.
    std::vector<std::string> warnings;
    base::ScopedLogSink sink([&](base::LogLevel, std::string_view category, std::string_view message) {
        if (category == "layout") warnings.emplace_back(message);
    });
    auto tall = Box::create({50, 50});
    auto top = Box::create({80, 30});
    auto spacer = View::create();
    auto column = StackView::create({top, spacer});
    column->setAxis(LayoutAxis::vertical);
    auto row = StackView::create({tall, column});
    row->setAlignment(StackViewAlignment::center);
    row->setTranslatesAutoresizingMaskIntoConstraints(false);
    stack->removeFromSuperview();
    root->addSubview(row);
    LayoutConstraint::activate({row->leadingAnchor().constraint(root->leadingAnchor()),
                                row->topAnchor().constraint(root->topAnchor()),
                                row->widthAnchor().constraintEqualToConstant(200)});
    root->layoutIfNeeded();
    EXPECT_EQ(row->frame(), Rect(0, 0, 200, 50));
    // The first view stretches along the row; the column is as tall as its box, centred.
    EXPECT_EQ(column->frame(), Rect(120, 10, 80, 30));
    EXPECT_EQ(top->frame(), Rect(0, 0, 80, 30));
    EXPECT_EQ(spacer->frame().size.height, 0);
    EXPECT_EQ(warnings, std::vector<std::string>{});
}

TEST(SliderLayoutTest, ASliderIsAsTallAsItsThumbImage) {
    auto slider = Slider::create();
    EXPECT_EQ(slider->intrinsicContentSize().height, Slider::height);
    slider->setThumbImage(Image::create(gfx::Image(20, 24)), highlighted);
    EXPECT_EQ(slider->intrinsicContentSize().height, Slider::height) << "only the normal state's thumb counts";
    slider->setThumbImage(Image::create(gfx::Image(20, 50)), normal);
    EXPECT_EQ(slider->intrinsicContentSize().height, 50);
    EXPECT_EQ(slider->intrinsicContentSize().width, View::noIntrinsicMetric);
}

}  // namespace
}  // namespace ui
