#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "painter_fixture.h"
#include "pixel_checks.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/gl/gl_view.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_attachment.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/gradient_layer.h"
#include "platform/ui/views/image_view.h"
#include "platform/ui/views/replicator_layer.h"
#include "platform/ui/views/shape_layer.h"
#include "platform/ui/views/view.h"

namespace display {
namespace {

using ui::Color;
using ui::Rect;

class PainterTest : public PainterFixture {};

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

TEST_F(PainterTest, AScrollViewShowsItsContentOnlyWithinItsBounds) {
    auto root = makeView(Rect(0, 0, 100, 200), Color::white());
    auto scroll = ui::ScrollView::create(Rect(0, 0, 100, 100));
    auto row = makeView(Rect(0, 80, 100, 60), Color::blueColor());
    scroll->addSubview(row);
    root->addSubview(scroll);
    auto image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(50, 90), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(50, 110), 255, 255, 255)) << "the row spilled out of the scroll view";
    scroll->setContentOffset({0, 50});
    image = paint(*root);
    EXPECT_TRUE(isColor(image.pixel(50, 40), 0, 0, 255));
    EXPECT_TRUE(isColor(image.pixel(50, 95), 255, 255, 255));
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

TEST_F(PainterTest, AFieldWithALineLimitDrawsItsTextWrappedFromItsTop) {
    // The text is the label colour, light on the dark interface.
    auto root = makeView(Rect(0, 0, 140, 140), Color::black());
    auto field = ui::TextField::create(Rect(0, 0, 120, 130));
    field->setText(std::string(100, 'W'));
    root->addSubview(field);
    const double line = std::ceil(field->font().lineHeight());
    // Lit pixels in the band of the n-th line of text (from 0); a field without a border has no
    // padding.
    const auto inkOnLine = [&](const gfx::Image& image, int n) {
        int ink = 0;
        for (int y = static_cast<int>(n * line) + 2; y < static_cast<int>((n + 1) * line) - 2; ++y)
            for (int x = 0; x < 120; ++x) ink += image.pixel(x, y).r > 100;
        return ink;
    };
    // One line, centred: nothing at the top or at the fifth line.
    auto image = paint(*root);
    EXPECT_GT(inkOnLine(image, 2) + inkOnLine(image, 3), 0);
    EXPECT_EQ(inkOnLine(image, 0), 0);
    EXPECT_EQ(inkOnLine(image, 4), 0);

    field->setLineLimit(5);
    image = paint(*root);
    for (int n = 0; n < 5; ++n) EXPECT_GT(inkOnLine(image, n), 0) << "line " << n;
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

// Pixels of `image` inside `r` at least half opaque, and how many of those are near `c`.
struct Ink {
    int count = 0;
    int inColor = 0;
};
Ink inkIn(const gfx::Image& image, Rect r, Color c) {
    Ink ink;
    for (int y = int(r.origin.y); y < int(r.origin.y + r.size.height); ++y)
        for (int x = int(r.origin.x); x < int(r.origin.x + r.size.width); ++x) {
            const auto p = image.pixel(x, y);
            if (p.a <= 128) continue;
            ++ink.count;
            if (isColor(p, int(c.red * 255), int(c.green * 255), int(c.blue * 255), p.a, 3)) ++ink.inColor;
        }
    return ink;
}

TEST_F(PainterTest, ButtonsDrawTheirSymbolInTheirTintAndTheirTitleCentred) {
    // Configured as the player's bar buttons are: a symbol with a configuration, a tint, no image view asked for.
    auto root = makeView(Rect(0, 0, 200, 48));
    auto symbol = ui::Button::create(ui::ButtonType::system);
    symbol->setImage(
        ui::Image::systemImage("xmark", ui::SymbolConfiguration{18, ui::SymbolWeight::medium, ui::SymbolScale::large}),
        ui::normal);
    symbol->setTintColor(Color::redColor());
    symbol->setFrame(Rect(0, 0, 48, 48));
    root->addSubview(symbol);
    auto titled = ui::Button::create(ui::ButtonType::custom);
    titled->setTitle("Play", ui::normal);
    titled->setTitleColor(Color::blueColor(), ui::normal);
    titled->setFrame(Rect(100, 0, 100, 48));
    root->addSubview(titled);
    auto image = paint(*root);
    const auto cross = inkIn(image, Rect(0, 0, 48, 48), Color::redColor());
    EXPECT_GT(cross.count, 20) << "the symbol is drawn";
    EXPECT_EQ(cross.inColor, cross.count) << "in the tint";
    EXPECT_EQ(inkIn(image, Rect(0, 0, 10, 48), Color::redColor()).count, 0) << "centred, not at the edge";
    const auto title = inkIn(image, Rect(100, 0, 100, 48), Color::blueColor());
    EXPECT_GT(title.count, 30) << "the title is drawn";
    EXPECT_GT(title.inColor, title.count / 2) << "in the title colour";
    EXPECT_EQ(inkIn(image, Rect(100, 0, 15, 48), Color::blueColor()).count, 0) << "centred, not at the edge";

    // A change of symbol shows (the drawing is not kept past it); a disabled button fades.
    symbol->setImage(ui::Image::systemImage("no.such.symbol"), ui::normal);
    EXPECT_EQ(inkIn(paint(*root), Rect(0, 0, 48, 48), Color::redColor()).count, 0);
    symbol->setImage(ui::Image::systemImage("play.fill"), ui::normal);
    symbol->setEnabled(false);
    image = paint(*root);
    int strongest = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x) strongest = std::max(strongest, int(image.pixel(x, y).a));
    EXPECT_GT(strongest, 30);
    EXPECT_LT(strongest, 128) << "disabled, the symbol is faint";
}

TEST_F(PainterTest, AButtonWhoseImageViewIsPlacedDrawsItsImageOnce) {
    auto root = makeView(Rect(0, 0, 48, 48));
    auto button = ui::Button::create(ui::ButtonType::system);
    button->setImage(ui::Image::systemImage("play.fill"), ui::normal);
    button->setTintColor(Color::redColor());
    button->setFrame(Rect(0, 0, 48, 48));
    root->addSubview(button);
    auto alone = paint(*root);
    // The image view, placed at the left, draws the symbol there and the button no longer does.
    button->imageView()->setFrame(Rect(0, 0, 16, 48));
    auto image = paint(*root);
    EXPECT_GT(inkIn(image, Rect(0, 0, 16, 48), Color::redColor()).count, 20);
    EXPECT_EQ(inkIn(image, Rect(20, 0, 28, 48), Color::redColor()).count, 0);
    EXPECT_GT(inkIn(alone, Rect(20, 0, 28, 48), Color::redColor()).count, 20);
}

TEST_F(PainterTest, SymbolsInsideTextDrawInTheirRunsPlaceOnTheBaselineInTheirOwnTint) {
    // The symbols the empty library's hint puts between its words.
    for (const char* name : {"play.rectangle", "arrow.down.doc"}) {
        auto root = makeView(Rect(0, 0, 240, 60), Color::white());
        const ui::TextAttributes attributes{{ui::AttributedStringKey::font(), ui::Font::systemFont(20)},
                                            {ui::AttributedStringKey::foregroundColor(), Color::black()}};
        auto attachment = ui::TextAttachment::create(ui::Image::systemImage(name)->withTintColor(Color::redColor()));
        attachment->setBounds(Rect(0, -4, 24, 24));
        auto text = ui::AttributedString::create("Tap ", attributes)
                        ->appending(*ui::AttributedString::withAttachment(attachment, attributes))
                        ->appending(*ui::AttributedString::create(" now", attributes));
        auto label = ui::Label::create(Rect(8, 8, 224, 44));
        label->setAttributedText(text);
        root->addSubview(label);
        auto image = paint(*root);
        const auto frame = label->textFrame();
        ASSERT_EQ(frame.lines().size(), 1u);
        const auto& line = frame.lines()[0];
        const ui::GlyphRun* run = nullptr;
        for (const auto& candidate : line.runs)
            if (candidate.attachment) run = &candidate;
        ASSERT_NE(run, nullptr);
        // The symbol's box: at the run's x, its bottom 4 points under the baseline.
        const ui::Point origin{8 + label->textRect().origin.x + line.origin.x, 8 + label->textRect().origin.y};
        const double left = origin.x + run->x, baseline = origin.y + line.origin.y;
        const Rect box(left, baseline + 4 - 24, 24, 24);
        int inside = 0, outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const auto p = image.pixel(x, y);
                if (p.r < 200 || p.g > 120 || p.b > 120) continue;  // not the symbol's red
                (box.contains({x + 0.5, y + 0.5}) ? inside : outside) += 1;
            }
        EXPECT_GT(inside, 40) << name << " draws as a gap";
        EXPECT_EQ(outside, 0) << name << " spills out of its place";
        // The words on either side keep their black.
        int dark = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < static_cast<int>(left); ++x) dark += image.pixel(x, y).r < 80 ? 1 : 0;
        EXPECT_GT(dark, 20) << name;
    }
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

// A screen's worth of what the cache must get right: a clipping rounded card with a shadow and
// a border, a masked gradient, text and a symbol, a half-transparent turned badge, a shape.
std::shared_ptr<ui::View> makeScene(std::vector<std::shared_ptr<ui::Label>>& labels) {
    auto root = ui::View::create(Rect(0, 0, 240, 180));
    root->setBackgroundColor(Color::white());
    auto card = ui::View::create(Rect(12.5, 10.25, 150, 110));
    card->setBackgroundColor(Color::systemGray5());
    card->layer().setCornerRadius(14);
    card->layer().setShadowOpacity(0.5);
    card->layer().setShadowRadius(6);
    card->layer().setShadowOffset({2, 4});
    card->layer().setBorderWidth(2);
    card->layer().setBorderColor(Color::blueColor());
    card->setClipsToBounds(true);
    root->addSubview(card);
    for (int i = 0; i < 3; ++i) {
        auto label = ui::Label::create(Rect(8, 8 + i * 26.0, 200, 24));  // wider than the card: clipped
        label->setText("Clip number " + std::to_string(i + 1) + " is long");
        label->setTextColor(i == 1 ? Color::redColor() : Color::black());
        card->addSubview(label);
        labels.push_back(label);
    }
    auto icon = ui::ImageView::create(ui::Image::systemImage("play.fill"));
    icon->setFrame(Rect(110, 80, 24, 24));
    icon->setTintColor(Color::greenColor());
    card->addSubview(icon);
    auto gradient = ui::GradientLayer::create();
    gradient->setFrame(Rect(170, 10, 60, 60));
    gradient->setColors({Color::redColor(), Color::blueColor()});
    auto mask = ui::ShapeLayer::create();
    mask->setPath(ui::BezierPath::ovalIn(Rect(0, 0, 60, 60)));
    gradient->setMask(mask);
    root->layer().addSublayer(gradient);
    auto badge = ui::View::create(Rect(170, 100, 50, 30));
    badge->setBackgroundColor(Color::orange());
    badge->layer().setCornerRadius(8);
    badge->setAlpha(0.6);
    badge->setTransform(ui::AffineTransform::rotation(0.3));
    auto text = ui::Label::create(Rect(4, 4, 42, 22));
    text->setText("New");
    badge->addSubview(text);
    labels.push_back(text);
    root->addSubview(badge);
    auto shape = ui::ShapeLayer::create();
    shape->setFrame(Rect(20, 130, 100, 40));
    shape->setPath(ui::BezierPath::roundedRect(Rect(0, 0, 100, 40), 10));
    shape->setFillColor(Color::rgba(0.5, 0, 0.5));
    shape->setStrokeColor(Color::black());
    shape->setLineWidth(3);
    root->layer().addSublayer(shape);
    return root;
}

TEST_F(PainterTest, AnUnchangedTreeCompositesItsBitmapsAndAChangedTextIsDrawnAloneAgain) {
    std::vector<std::shared_ptr<ui::Label>> labels;
    auto root = makeScene(labels);
    auto first = paint(*root);
    const auto drawn = painter.contentDraws();
    const auto rendered = painter.cacheStatistics().rendered;
    EXPECT_GE(drawn, 5u);  // three labels, the icon, the badge's text
    auto second = paint(*root);
    EXPECT_EQ(painter.contentDraws(), drawn);
    EXPECT_EQ(painter.cacheStatistics().rendered, rendered);
    EXPECT_EQ(difference(first, second).largest, 0);
    labels[1]->setText("Changed");
    auto third = paint(*root);
    EXPECT_EQ(painter.contentDraws(), drawn + 1);
    EXPECT_EQ(painter.cacheStatistics().rendered, rendered + 1);
    EXPECT_GT(difference(second, third).largest, 100);
    // A tint the label draws with, and one of the layer's own drawn properties, count as changes.
    labels[0]->setTextColor(Color::blueColor());
    paint(*root);
    EXPECT_EQ(painter.contentDraws(), drawn + 2);
    root->subviews()[0]->layer().setShadowRadius(3);
    paint(*root);
    EXPECT_EQ(painter.cacheStatistics().rendered, rendered + 3);
    // Scrolled by whole pixels, everything moves without a drawing.
    root->setBounds(Rect(0, 7, 240, 180));
    paint(*root);
    EXPECT_EQ(painter.cacheStatistics().rendered, rendered + 3);
}

TEST_F(PainterTest, CachedPaintsMatchPaintsThatDrawEverything) {
    for (double scale : {1.0, 2.0}) {
        std::vector<std::shared_ptr<ui::Label>> labels;
        auto root = makeScene(labels);
        ViewPainter uncached{SymbolIcons::shared()};
        uncached.setCaching(false);
        const auto reference = uncached.paintImage(*root, scale);
        EXPECT_EQ(uncached.cacheStatistics().rendered, 0u);
        paint(*root, scale);  // fills the cache
        const auto rendered = painter.cacheStatistics().rendered;
        EXPECT_TRUE(sameButForRounding(paint(*root, scale), reference)) << "scale " << scale;
        // Moved by a fraction of a pixel, the drawings are made again at the new place.
        root->setBounds(Rect(0, 0.25, 240, 180));
        EXPECT_TRUE(sameButForRounding(paint(*root, scale), uncached.paintImage(*root, scale))) << "scale " << scale;
        EXPECT_GT(painter.cacheStatistics().rendered, rendered);
    }
}

TEST_F(PainterTest, AnAnimatedPlaceMovesTheBitmapAndTheRestingPlaceIsDrawnExactly) {
    auto root = makeView(Rect(0, 0, 200, 100), Color::white());
    auto label = ui::Label::create(Rect(0, 0, 100, 40));
    label->setText("Moving");
    root->addSubview(label);
    paint(*root);
    const auto drawn = painter.contentDraws();
    ui::View::animate(1.0, 0, 0 /* linear */, [&] { label->setCenter({120.3, 60}); });
    for (int step = 0; step < 4; ++step) {
        loop.advanceSeconds(0.2);
        paint(*root);
    }
    EXPECT_EQ(painter.contentDraws(), drawn);
    EXPECT_GE(painter.cacheStatistics().transformed, 4u);
    loop.advanceSeconds(0.5);
    ASSERT_FALSE(ViewPainter::isAnimating(*root));
    auto rested = paint(*root);
    EXPECT_EQ(painter.contentDraws(), drawn + 1);
    ViewPainter uncached{SymbolIcons::shared()};
    uncached.setCaching(false);
    EXPECT_TRUE(sameButForRounding(rested, uncached.paintImage(*root, 1)));
}

}  // namespace
}  // namespace display
