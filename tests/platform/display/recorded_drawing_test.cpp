// What views draw themselves (their `draw`, recorded by the UI layer) shows in the window: shapes,
// paths and shadows as recorded, redrawn when the view takes another size, and a label's text
// only where its class draws it.

#include <gtest/gtest.h>

#include "pixel_checks.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/graphics_context.h"
#include "platform/ui/views/view.h"

namespace display {
namespace {

using ui::Color;
using ui::Rect;

// A round mark over its whole bounds: a filled disc with a shadow, a white tick.
class Mark : public ui::View {
public:
    static std::shared_ptr<Mark> create(const Rect& frame) { return ui::make<Mark>(frame); }
    void draw(const Rect& rect) override {
        ui::View::draw(rect);
        auto context = ui::GraphicsContext::current();
        const auto b = bounds();
        context->saveState();
        context->setShadow({0, 2}, 2, Color::black());
        context->setFillColor(Color::blueColor());
        context->fillEllipse(Rect(b.origin.x + 4, b.origin.y + 4, b.size.width - 8, b.size.height - 8));
        context->restoreState();
        context->moveTo({b.size.width * 0.25, b.size.height * 0.5});
        context->lineTo({b.size.width * 0.75, b.size.height * 0.5});
        context->setStrokeColor(Color::white());
        context->setLineWidth(4);
        context->strokePath();
    }

protected:
    explicit Mark(const Rect& frame) : ui::View(frame) {}
};

// A label that leaves its text to an inner label, as a scrolling label does.
class ScrollingLabelStandIn : public ui::Label {
public:
    static std::shared_ptr<ScrollingLabelStandIn> create(const Rect& frame) {
        return ui::make<ScrollingLabelStandIn>(frame);
    }
    void draw(const Rect&) override {}

protected:
    explicit ScrollingLabelStandIn(const Rect& frame) : ui::Label(frame) {}
};

class RecordedDrawingTest : public ::testing::Test {
protected:
    // Dark pixels (text) in a row band of the image.
    static int inkIn(const gfx::Image& image, int x0, int x1, int y0, int y1) {
        int ink = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) ink += image.pixel(x, y).r < 128;
        return ink;
    }

    dispatch::ScopedMainRunLoop loop;
    ViewPainter painter{SymbolIcons::shared()};
};

TEST_F(RecordedDrawingTest, AViewThatDrawsItselfShowsItsShapesPathsAndShadow) {
    auto root = ui::View::create(Rect(0, 0, 100, 100));
    root->setBackgroundColor(Color::white());
    auto mark = Mark::create(Rect(20, 20, 40, 40));
    root->addSubview(mark);
    const auto image = painter.paintImage(*root, 1);
    EXPECT_TRUE(isColor(image.pixel(40, 30), 0, 0, 255)) << "the disc";
    EXPECT_TRUE(isColor(image.pixel(40, 40), 255, 255, 255)) << "the tick over it";
    EXPECT_TRUE(isColor(image.pixel(10, 10), 255, 255, 255)) << "nothing outside";
    const auto shadow = image.pixel(40, 57);  // below the disc, where only its shadow falls
    EXPECT_LT(shadow.r, 235) << "the shadow";
    EXPECT_GT(shadow.r, 60);
}

TEST_F(RecordedDrawingTest, AViewThatTakesAnotherSizeIsDrawnAgainForIt) {
    auto root = ui::View::create(Rect(0, 0, 100, 100));
    root->setBackgroundColor(Color::white());
    auto mark = Mark::create(Rect(0, 0, 20, 20));
    root->addSubview(mark);
    painter.paintImage(*root, 1);
    mark->setFrame(Rect(0, 0, 80, 80));
    const auto image = painter.paintImage(*root, 1);
    EXPECT_TRUE(isColor(image.pixel(40, 15), 0, 0, 255)) << "the disc fills the new bounds";
    EXPECT_TRUE(isColor(image.pixel(40, 40), 255, 255, 255)) << "with its tick in the new middle";
}

TEST_F(RecordedDrawingTest, ALabelWhoseClassDrawsNothingLeavesItsTextToItsInnerLabel) {
    auto root = ui::View::create(Rect(0, 0, 200, 40));
    root->setBackgroundColor(Color::white());
    auto outer = ScrollingLabelStandIn::create(Rect(0, 0, 200, 40));
    outer->setText("Holiday");
    outer->setTextColor(Color::black());
    root->addSubview(outer);
    // The inner label moved away (scrolling): only it shows the text.
    auto inner = ui::Label::create(Rect(100, 0, 100, 40));
    inner->setText("Holiday");
    inner->setTextColor(Color::black());
    outer->addSubview(inner);
    const auto image = painter.paintImage(*root, 1);
    EXPECT_EQ(inkIn(image, 0, 95, 0, 40), 0) << "the outer label drew its text too";
    EXPECT_GT(inkIn(image, 100, 200, 0, 40), 20);
}

}  // namespace
}  // namespace display
