#include <gtest/gtest.h>

#include <cmath>

#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/gl/gl_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/gradient_layer.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/replicator_layer.h"
#include "platform/ui/views/shape_layer.h"
#include "platform/ui/views/view.h"

namespace display {
namespace {

using ui::Color;
using ui::Rect;

class PainterTest : public ::testing::Test {
protected:
    std::shared_ptr<ui::View> makeView(Rect frame, std::optional<Color> background = std::nullopt) {
        auto view = ui::View::create(frame);
        view->setBackgroundColor(background);
        return view;
    }
    gfx::Image paint(ui::View& root, double scale = 1) { return painter.paintImage(root, scale); }

    dispatch::ScopedMainRunLoop loop;
    ViewPainter painter{SymbolIcons::shared()};
};

::testing::AssertionResult isColor(gfx::Pixel p, int r, int g, int b, int a = 255, int tolerance = 3) {
    auto near = [tolerance](int x, int y) { return std::abs(x - y) <= tolerance; };
    if (near(p.r, r) && near(p.g, g) && near(p.b, b) && near(p.a, a)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel is " << int(p.r) << "," << int(p.g) << "," << int(p.b) << ","
                                         << int(p.a) << ", not " << r << "," << g << "," << b << "," << a;
}

TEST_F(PainterTest, SubviewsPaintOverTheirParentAndAClippingParentCutsThemAtItsBounds) {
    auto root = makeView(Rect(0, 0, 200, 200), Color::white());
    auto parent = makeView(Rect(0, 0, 100, 100), Color::redColor());
    auto child = makeView(Rect(50, 50, 100, 100), Color::blueColor());
    root->addSubview(parent);
    parent->addSubview(child);
    auto image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(25, 25), 255, 0, 0));
    EXPECT_TRUE(isColor(image.pixel(75, 75), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(125, 125), 0, 0, 255));  // not clipped yet
    parent->setClipsToBounds(true);
    image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(75, 75), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(125, 125), 255, 255, 255));
}

TEST_F(PainterTest, ScrolledBoundsMoveTheSubviewsAndScaleMultipliesEveryLength) {
    auto root = makeView(Rect(0, 0, 100, 100), Color::white());
    auto child = makeView(Rect(20, 20, 10, 10), Color::blueColor());
    root->addSubview(child);
    root->setBounds(Rect(10, 10, 100, 100));  // content scrolled by 10 points
    auto image = paint(*root, 2);
    ASSERT_EQ(image.width(), 200);
    EXPECT_TRUE(isColor(image.pixel(21, 21), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(39, 39), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(41, 41), 255, 255, 255));
    EXPECT_TRUE(isColor(image.pixel(19, 19), 255, 255, 255));
}

TEST_F(PainterTest, CornerRadiusRoundsOnlyTheMaskedCornersAndBordersFollowThem) {
    auto root = makeView(Rect(0, 0, 100, 100), Color::redColor());
    root->layer().setCornerRadius(30);
    auto image = paint(*root);
    EXPECT_EQ(image.pixel(2, 2).a, 0);
    EXPECT_EQ(image.pixel(97, 97).a, 0);
    EXPECT_TRUE(isColor(image.pixel(50, 50), 255, 0, 0));
    EXPECT_TRUE(isColor(image.pixel(50, 1), 255, 0, 0));
    root->layer().setMaskedCorners(ui::minXMinYCorner);
    image = paint(*root);
    EXPECT_EQ(image.pixel(2, 2).a, 0);
    EXPECT_TRUE(isColor(image.pixel(97, 97), 255, 0, 0));
    EXPECT_TRUE(isColor(image.pixel(97, 2), 255, 0, 0));

    auto framed = makeView(Rect(0, 0, 100, 100));
    framed->layer().setBorderWidth(4);
    framed->layer().setBorderColor(Color::blueColor());
    image = paint(*framed);
    EXPECT_TRUE(isColor(image.pixel(1, 50), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(98, 50), 0, 0, 255));
    EXPECT_EQ(image.pixel(50, 50).a, 0);
}

TEST_F(PainterTest, AMaskLayerCutsTheLayerAndItsSublayersToTheMasksShape) {
    auto root = makeView(Rect(0, 0, 100, 100), Color::redColor());
    root->addSubview(makeView(Rect(0, 0, 100, 50), Color::blueColor()));
    auto mask = ui::ShapeLayer::create();
    mask->setFrame(Rect(0, 0, 100, 100));
    mask->setPath(ui::BezierPath::ovalIn(Rect(0, 0, 100, 100)));
    root->layer().setMask(mask);
    auto image = paint(*root);
    EXPECT_EQ(image.pixel(3, 3).a, 0);
    EXPECT_EQ(image.pixel(96, 96).a, 0);
    EXPECT_TRUE(isColor(image.pixel(50, 25), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(50, 75), 255, 0, 0));
}

TEST_F(PainterTest, OpacityAppliesToTheWholeSubtreeOnce) {
    auto root = makeView(Rect(0, 0, 100, 100), Color::white());
    auto faded = makeView(Rect(0, 0, 100, 100), Color::black());
    faded->addSubview(makeView(Rect(0, 0, 50, 100), Color::black()));  // no darker where they overlap
    faded->setAlpha(0.5);
    root->addSubview(faded);
    auto image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(25, 50), 128, 128, 128, 255, 2));
    EXPECT_TRUE(isColor(image.pixel(75, 50), 128, 128, 128, 255, 2));
    faded->setHidden(true);
    EXPECT_TRUE(isColor(paint(*root).pixel(25, 50), 255, 255, 255));
}

TEST_F(PainterTest, TransformsTurnAroundTheAnchorPoint) {
    auto root = makeView(Rect(0, 0, 100, 100), Color::white());
    auto shrunk = makeView(Rect(0, 0, 100, 100), Color::blueColor());
    shrunk->setTransform(ui::AffineTransform::scale(0.5, 0.5));
    root->addSubview(shrunk);
    auto image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(10, 10), 255, 255, 255));
    EXPECT_TRUE(isColor(image.pixel(30, 30), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(70, 70), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(80, 80), 255, 255, 255));
}

TEST_F(PainterTest, GradientsShapesAndReplicatorsDrawTheirContent) {
    auto root = makeView(Rect(0, 0, 100, 100));
    auto gradient = ui::GradientLayer::create();
    gradient->setFrame(Rect(0, 0, 100, 100));
    gradient->setColors({Color::black(), Color::white()});
    root->layer().addSublayer(gradient);
    auto image = paint(*root);
    EXPECT_LT(image.pixel(50, 2).r, 10);
    EXPECT_GT(image.pixel(50, 97).r, 245);
    EXPECT_NEAR(image.pixel(50, 50).r, 128, 4);

    auto shapes = makeView(Rect(0, 0, 100, 20));
    auto replicator = ui::ReplicatorLayer::create();
    replicator->setInstanceCount(3);
    replicator->setInstanceTransform(ui::Transform3D::translation(30, 0, 0));
    auto square = ui::ShapeLayer::create();
    square->setPath(ui::BezierPath::rect(Rect(0, 0, 10, 10)));
    square->setFillColor(Color::redColor());
    square->setStrokeColor(std::nullopt);
    replicator->addSublayer(square);
    shapes->layer().addSublayer(replicator);
    image = paint(*shapes);
    for (int x : {5, 35, 65}) EXPECT_TRUE(isColor(image.pixel(x, 5), 255, 0, 0)) << x;
    for (int x : {20, 50, 95}) EXPECT_EQ(image.pixel(x, 5).a, 0) << x;
}

TEST_F(PainterTest, ShadowsFallOutsideTheBoundsAtTheirOffsetAndFadeWithDistance) {
    auto root = makeView(Rect(0, 0, 100, 100));
    auto card = makeView(Rect(20, 20, 40, 40), Color::white());
    card->layer().setShadowOpacity(1);
    card->layer().setShadowOffset({0, 10});
    card->layer().setShadowRadius(4);
    root->addSubview(card);
    auto image = paint(*root);
    EXPECT_GT(image.pixel(40, 63).a, 100);  // under the card's bottom edge, pushed down
    EXPECT_LT(image.pixel(40, 63).r, 60);
    EXPECT_LT(image.pixel(40, 17).a, 30);  // hardly above it
    EXPECT_GT(image.pixel(40, 63).a, image.pixel(40, 71).a);
}

TEST_F(PainterTest, LabelTextSitsOnItsBaselineInItsColour) {
    auto root = makeView(Rect(0, 0, 200, 100), Color::white());
    auto label = ui::Label::create(Rect(10, 10, 180, 80));
    label->setText("HH");
    label->setFont(ui::Font::systemFont(40));
    label->setTextColor(Color::blueColor());
    root->addSubview(label);
    auto image = paint(*root);
    const auto frame = label->textFrame();
    ASSERT_EQ(frame.lines().size(), 1u);
    const double baseline = 10 + label->textRect().origin.y + frame.lines()[0].origin.y;
    const double capTop = baseline - label->font().capHeight();
    int top = -1, bottom = -1, left = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const auto p = image.pixel(x, y);
            if (p.b > 200 && p.r < 80) {
                if (top < 0) top = y;
                bottom = y;
                if (left < 0 || x < left) left = x;
            }
        }
    }
    ASSERT_GE(top, 0) << "no text was drawn";
    EXPECT_NEAR(bottom + 1, baseline, 1.5);
    EXPECT_NEAR(top, capTop, 1.5);
    EXPECT_NEAR(left, 10 + label->textRect().origin.x + frame.lines()[0].origin.x + 3, 3);  // the H's side bearing
}

TEST_F(PainterTest, SymbolImagesTakeTheTintAndUnknownSymbolsDrawNothing) {
    ASSERT_TRUE(SymbolIcons::iconName("play.fill"));
    EXPECT_EQ(SymbolIcons::iconName("gobackward.15"), SymbolIcons::iconName("gobackward.30"));
    EXPECT_FALSE(SymbolIcons::iconName("no.such.symbol"));
    auto root = makeView(Rect(0, 0, 48, 48));
    auto icon = ui::ImageView::create(ui::Image::systemImage("play.fill"));
    icon->setFrame(Rect(0, 0, 48, 48));
    icon->setTintColor(Color::redColor());
    root->addSubview(icon);
    auto image = paint(*root);
    int inked = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) {
            const auto p = image.pixel(x, y);
            if (p.a > 128) {
                ++inked;
                EXPECT_TRUE(isColor(p, 255, 0, 0, p.a, 3));
            }
        }
    EXPECT_GT(inked, 200);
    icon->setImage(ui::Image::systemImage("no.such.symbol"));
    image = paint(*root);
    EXPECT_EQ(image.pixel(24, 24).a, 0);
}

TEST_F(PainterTest, BitmapImagesFillTheirViewAsTheContentModeSays) {
    gfx::Image bitmap(2, 1);
    bitmap.setPixel(0, 0, {255, 0, 0, 255});
    bitmap.setPixel(1, 0, {0, 0, 255, 255});
    auto root = makeView(Rect(0, 0, 100, 100));
    auto view = ui::ImageView::create(ui::Image::create(bitmap));
    view->setFrame(Rect(0, 0, 100, 100));
    view->setContentMode(ui::ContentMode::scaleAspectFit);
    root->addSubview(view);
    auto image = paint(*root);
    EXPECT_EQ(image.pixel(50, 10).a, 0);  // letterboxed: 100 x 50 in the middle
    EXPECT_TRUE(isColor(image.pixel(10, 50), 255, 0, 0, 255, 30));
    EXPECT_TRUE(isColor(image.pixel(90, 50), 0, 0, 255, 255, 30));
}

TEST_F(PainterTest, AnOpenGLViewLeavesAHoleAndReportsWhereItShows) {
    auto root = makeView(Rect(0, 0, 100, 100), Color::black());
    auto player = makeView(Rect(10, 10, 80, 80), Color::black());
    auto video = ui::GLView::create(Rect(0, 10, 80, 40));
    player->addSubview(video);
    auto bar = makeView(Rect(0, 40, 80, 10), Color::white());
    player->addSubview(bar);  // over the video
    root->addSubview(player);
    auto image = paint(*root, 2);
    EXPECT_EQ(image.pixel(40, 50).a, 0);
    EXPECT_TRUE(isColor(image.pixel(40, 105), 255, 255, 255));
    EXPECT_TRUE(isColor(image.pixel(40, 30), 0, 0, 0));
    ASSERT_EQ(painter.videoRegions().size(), 1u);
    EXPECT_EQ(painter.videoRegions()[0].view.lock(), video);
    EXPECT_EQ(painter.videoRegions()[0].rect, Rect(20, 40, 160, 80));
}

TEST_F(PainterTest, AnimationsShowTheirPresentationValueOnTheClock) {
    auto root = makeView(Rect(0, 0, 100, 100), Color::white());
    auto box = makeView(Rect(0, 0, 100, 100), Color::black());
    box->setAlpha(0);
    root->addSubview(box);
    EXPECT_FALSE(ViewPainter::isAnimating(*root));
    ui::View::animate(1.0, 0, 0 /* linear */, [&] { box->setAlpha(1); });
    EXPECT_TRUE(ViewPainter::isAnimating(*root));
    loop.advanceSeconds(0.5);
    const auto half = paint(*root).pixel(50, 50);
    EXPECT_GT(half.r, 40);
    EXPECT_LT(half.r, 215);
    loop.advanceSeconds(0.6);
    EXPECT_FALSE(ViewPainter::isAnimating(*root));
    EXPECT_TRUE(isColor(paint(*root).pixel(50, 50), 0, 0, 0));
}

}  // namespace
}  // namespace display
