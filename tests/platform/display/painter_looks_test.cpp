// The looks the window gives what the UI layer describes beyond plain layers: a shadow's path, a
// blur material over what lies behind it, text in scripts and emoji the product's fonts lack.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "painter_fixture.h"
#include "pixel_checks.h"
#include "platform/dispatch/run_loop.h"
#include "platform/display/symbol_icons.h"
#include "platform/display/view_painter.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/bezier_path.h"
#include "platform/ui/views/view.h"
#include "platform/ui/views/visual_effect_view.h"

namespace display {
namespace {

using ui::Color;
using ui::Rect;

class PainterLooksTest : public PainterFixture {};

TEST_F(PainterLooksTest, AShadowPathGivesTheShadowItsShapeWhateverTheBounds) {
    auto root = makeView(Rect(0, 0, 120, 100));
    // A clear label-sized layer whose shadow is a wider badge's rectangle, pushed down by 3.
    auto label = makeView(Rect(20, 20, 20, 20));
    label->layer().setShadowOpacity(1);
    label->layer().setShadowOffset({0, 3});
    label->layer().setShadowRadius(1);
    label->layer().setShadowPath(ui::BezierPath::rect(Rect(0, 0, 80, 20)));
    root->addSubview(label);
    auto image = paint(*root);
    EXPECT_GT(image.pixel(90, 32).a, 200) << "the badge's shadow reaches past the layer's bounds";
    EXPECT_LT(image.pixel(110, 32).a, 10) << "but no further than the path";
    EXPECT_LT(image.pixel(90, 19).a, 10) << "pushed down by its offset";
    label->layer().setShadowPath(std::nullopt);
    image = paint(*root);
    EXPECT_LT(image.pixel(90, 32).a, 10) << "without the path the shadow follows the bounds";
    EXPECT_GT(image.pixel(30, 42).a, 100);
}

TEST_F(PainterLooksTest, ABlurMaterialShowsWhatLiesBehindItBlurredNotSharp) {
    // Stripes two points wide behind a dark blur: under it they mix into one grey; beside it they
    // stay sharp.
    auto root = makeView(Rect(0, 0, 120, 60), Color::white());
    for (int x = 0; x < 120; x += 4) root->addSubview(makeView(Rect(x, 0, 2, 60), Color::black()));
    auto blur = ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark);
    blur->setFrame(Rect(60, 0, 60, 60));
    root->addSubview(blur);
    const auto image = paint(*root, 2);
    EXPECT_TRUE(isColor(image.pixel(40, 60), 0, 0, 0)) << "a stripe beside the blur";
    EXPECT_TRUE(isColor(image.pixel(44, 60), 255, 255, 255)) << "a gap beside the blur";
    int darkest = 255, lightest = 0;
    for (int x = 140; x < 220; ++x) {
        darkest = std::min<int>(darkest, image.pixel(x, 60).r);
        lightest = std::max<int>(lightest, image.pixel(x, 60).r);
    }
    EXPECT_LT(lightest - darkest, 12) << "the stripes read through the material";
    EXPECT_GT(darkest, 20) << "the backdrop's light still shows through the tint";

    // One colour behind keeps its hue through the blur (each channel averaged on its own).
    auto plain = makeView(Rect(0, 0, 120, 60), Color::rgba(0.9, 0.1, 0.4, 1));
    auto over = ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::systemUltraThinMaterialDark);
    over->setFrame(Rect(0, 0, 120, 60));
    plain->addSubview(over);
    const auto tinted = paint(*plain, 2);
    const auto p = tinted.pixel(120, 60);
    EXPECT_GT(p.r, 2 * p.b) << int(p.r) << "," << int(p.g) << "," << int(p.b);
    EXPECT_GT(p.b, p.g);
}

TEST_F(PainterLooksTest, JapaneseAndEmojiShowTheirOwnGlyphsNotBoxes) {
    // Each text alone in a black label on white; what a character no installed font has looks
    // like (the empty box) is painted too, to tell a box from a glyph.
    auto painted = [&](const std::string& text) {
        auto root = makeView(Rect(0, 0, 60, 40), Color::white());
        auto label = ui::Label::create(Rect(4, 4, 52, 32));
        label->setText(text);
        label->setFont(ui::Font::systemFont(24));
        label->setTextColor(Color::black());
        root->addSubview(label);
        return paint(*root);
    };
    auto differing = [](const gfx::Image& a, const gfx::Image& b) {
        int count = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) count += std::abs(a.pixel(x, y).r - b.pixel(x, y).r) > 96;
        return count;
    };
    const auto box = painted("\xF3\xBF\xBF\xBD");  // U+FFFFD, a private use character
    const auto natsu = painted("\xE5\xA4\x8F");    // 夏
    const auto no = painted("\xE3\x81\xAE");       // の
    EXPECT_GT(differing(box, natsu), 40) << "夏 shows as the empty box";
    EXPECT_GT(differing(box, no), 40) << "の shows as the empty box";
    EXPECT_GT(differing(natsu, no), 40);
    // The fireworks emoji in its own colours, not in the label's black.
    const auto fireworks = painted("\xF0\x9F\x8E\x86");
    int coloured = 0;
    for (int y = 0; y < fireworks.height(); ++y)
        for (int x = 0; x < fireworks.width(); ++x) {
            const auto p = fireworks.pixel(x, y);
            coloured += std::max({p.r, p.g, p.b}) - std::min({p.r, p.g, p.b}) > 60;
        }
    EXPECT_GT(coloured, 30);
}

}  // namespace
}  // namespace display
