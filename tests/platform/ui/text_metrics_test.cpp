#include <gtest/gtest.h>

#include <cmath>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_attachment.h"
#include "platform/ui/text/text_layout.h"

namespace ui {
namespace {

TEST(FontTest, InterFontsAreFoundByPostScriptNameWithTheirMetrics) {
    for (const char* name : {"Inter-Regular", "Inter-Medium", "Inter-SemiBold", "Inter-Bold"}) {
        EXPECT_TRUE(Font::named(name, 17).has_value()) << name;
    }
    EXPECT_FALSE(Font::named("Helvetica-Nonexistent", 17).has_value());
    const auto inter = *Font::named("Inter-Regular", 28.16);
    // Inter's design: 2816 units per em, ascender 2728, descender -680, line gap included in 3408.
    EXPECT_NEAR(inter.ascender(), 27.28, 1e-9);
    EXPECT_NEAR(inter.descender(), -6.80, 1e-9);
    EXPECT_NEAR(inter.lineHeight(), 34.08, 1e-9);
    EXPECT_EQ(inter.familyName(), "Inter");
    EXPECT_EQ(Font::systemFont(17, FontWeight::semibold).fontName(), "Inter-SemiBold");
}

TEST(FontTest, WidthsComeFromGlyphAdvancesAndScaleWithSize) {
    const auto regular = Font::systemFont(10);
    const auto bold = Font::systemFont(10, FontWeight::bold);
    const double hello = regular.widthOf("Hello");
    EXPECT_GT(hello, 10);
    EXPECT_LT(hello, 40);
    EXPECT_DOUBLE_EQ(regular.withSize(20).widthOf("Hello"), 2 * hello);
    EXPECT_GT(bold.widthOf("Hello"), hello);
    EXPECT_GT(regular.widthOf("WWW"), regular.widthOf("iii"));
    EXPECT_DOUBLE_EQ(regular.widthOf(""), 0);
    EXPECT_DOUBLE_EQ(regular.widthOf("Hello World"), hello + regular.widthOf(" World"));
    EXPECT_GT(regular.widthOf("\xC3\xA9t\xC3\xA9"), 0);  // UTF-8 "été"
}

TEST(FontTest, MonospacedDigitsGiveEveryDigitOneWidth) {
    const auto mono = Font::monospacedDigitSystemFont(15);
    EXPECT_DOUBLE_EQ(mono.widthOf("1:11:11"), mono.widthOf("0:00:00"));
    EXPECT_GT(mono.widthOf("1"), Font::systemFont(15).widthOf("1"));
    EXPECT_TRUE(mono.fontDescriptor().hasMonospacedDigits());
}

TEST(LabelTest, OneLineSizeIsTheTextWidthByTheLineHeight) {
    auto label = Label::create();
    EXPECT_EQ(label->sizeThatFits({100, 100}), (Size{0, 0}));
    label->setFont(Font::systemFont(17));
    label->setText("Reelhaven");
    const Size size = label->sizeThatFits({1e9, 1e9});
    EXPECT_EQ(size.width, std::ceil(Font::systemFont(17).widthOf("Reelhaven")));
    EXPECT_EQ(size.height, std::ceil(Font::systemFont(17).lineHeight()));
    EXPECT_EQ(label->intrinsicContentSize(), size);
    EXPECT_EQ(label->attributedText()->string(), "Reelhaven");
    label->setText(std::nullopt);
    EXPECT_EQ(label->attributedText(), nullptr);
}

TEST(LabelTest, SeveralLinesWrapAtTheGivenWidth) {
    const auto font = Font::systemFont(17);
    const auto lines = TextLayout::lines("There was an issue renaming this file.", font, 120, 0);
    ASSERT_GT(lines.size(), 1u);
    for (const auto& line : lines) EXPECT_LE(font.widthOf(line), 120);
    auto label = Label::create();
    label->setNumberOfLines(0);
    label->setText("There was an issue renaming this file.");
    const Size size = label->sizeThatFits({120, 1000});
    EXPECT_EQ(size.height, std::ceil(font.lineHeight() * static_cast<double>(lines.size())));
    label->setNumberOfLines(2);
    EXPECT_EQ(label->sizeThatFits({120, 1000}).height, std::ceil(font.lineHeight() * 2));
    EXPECT_EQ(TextLayout::lines("a\nb", font, 0, 0), (std::vector<std::string>{"a", "b"}));
    const auto broken = TextLayout::lines("Supercalifragilistic", font, 40, 0);
    EXPECT_GT(broken.size(), 1u);  // a word wider than the line breaks inside
}

TEST(AttributedStringTest, RunsUseTheirFontsAndAttachmentsTheirBounds) {
    const auto small = Font::systemFont(10);
    const auto large = Font::systemFont(30);
    auto text = AttributedString::create("ab", {{AttributedStringKey::font(), small}})
                    ->appending(*AttributedString::create("cd", {{AttributedStringKey::font(), large}}));
    auto attachment = TextAttachment::create();
    attachment->setBounds(Rect(0, 0, 12, 12));
    text = text->appending(*AttributedString::withAttachment(attachment));
    const Size size = text->singleLineSize(small);
    EXPECT_DOUBLE_EQ(size.width, small.widthOf("ab") + large.widthOf("cd") + 12);
    EXPECT_DOUBLE_EQ(size.height, large.lineHeight());
    EXPECT_EQ(text->runs().size(), 3u);
    auto same = AttributedString::create("ab", {{AttributedStringKey::font(), small}});
    EXPECT_TRUE(same->isEqual(*AttributedString::create("ab", {{AttributedStringKey::font(), small}})));
    EXPECT_FALSE(same->isEqual(*AttributedString::create("ab", {{AttributedStringKey::font(), large}})));
}

}  // namespace
}  // namespace ui
