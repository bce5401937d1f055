#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/text/label.h"
#include "platform/ui/text/text_field.h"

namespace ui {
namespace {

const std::string ellipsis = "\xE2\x80\xA6";
const std::string sentence = "There was an issue renaming this file.";

TEST(LabelTextTest, IntrinsicSizeWrapsAtThePreferredWidthAndHonoursTheLineCount) {
    const auto font = Font::systemFont(17);
    auto label = Label::create();
    label->setText(sentence);
    // One line: the whole shaped text, whatever the preferred width.
    label->setPreferredMaxLayoutWidth(120);
    EXPECT_EQ(label->intrinsicContentSize(), (Size{std::ceil(font.widthOf(sentence)), std::ceil(font.lineHeight())}));

    label->setNumberOfLines(0);
    const auto wrapped = TextFrame::create(sentence, font, {120});
    ASSERT_GT(wrapped.lines().size(), 2u);
    EXPECT_EQ(label->intrinsicContentSize(), wrapped.size());
    EXPECT_LE(label->intrinsicContentSize().width, 120);

    label->setNumberOfLines(2);
    EXPECT_EQ(label->intrinsicContentSize().height, std::ceil(2 * font.lineHeight()));
    // Without a preferred width nothing wraps: two lines hold the explicit paragraphs only.
    label->setPreferredMaxLayoutWidth(0);
    EXPECT_EQ(label->intrinsicContentSize().height, std::ceil(font.lineHeight()));
    label->setText("a\nb\nc");
    EXPECT_EQ(label->intrinsicContentSize().height, std::ceil(2 * font.lineHeight()));
}

TEST(LabelTextTest, AMultiLineLabelPinnedToAWidthTakesTheHeightOfItsWrappedText) {
    const auto font = Font::systemFont(17);
    auto root = View::create(Rect(0, 0, 200, 400));
    auto label = Label::create();
    label->setTranslatesAutoresizingMaskIntoConstraints(false);
    label->setNumberOfLines(0);
    label->setText(sentence);
    root->addSubview(label);
    LayoutConstraint::activate({label->leadingAnchor().constraint(root->leadingAnchor()),
                                label->trailingAnchor().constraint(root->trailingAnchor()),
                                label->topAnchor().constraint(root->topAnchor())});
    // The label learns its width from the pass and then asks for the height its text takes
    // there; one layoutIfNeeded settles both.
    root->layoutIfNeeded();
    EXPECT_FALSE(root->needsLayout());
    const auto wrapped = TextFrame::create(sentence, font, {200});
    ASSERT_GT(wrapped.lines().size(), 1u);
    EXPECT_EQ(label->frame(), Rect(0, 0, 200, wrapped.size().height));
    EXPECT_EQ(label->textFrame().lines().size(), wrapped.lines().size());
    // Narrower room, more lines.
    root->setFrame(Rect(0, 0, 120, 400));
    root->layoutIfNeeded();
    EXPECT_EQ(label->frame(), Rect(0, 0, 120, TextFrame::create(sentence, font, {120}).size().height));
}

TEST(LabelTextTest, SizeThatFitsFollowsTheBreakModeOfTheLastLine) {
    auto label = Label::create();
    label->setText(sentence);
    label->setNumberOfLines(2);
    const double width = 120;
    label->setLineBreakMode(LineBreakMode::byTruncatingTail);
    const Size cut = label->sizeThatFits({width, 1000});
    EXPECT_LE(cut.width, width);
    label->setLineBreakMode(LineBreakMode::byClipping);
    // The clipped last line runs to the edge.
    EXPECT_EQ(label->sizeThatFits({width, 1000}).width, width);
}

TEST(LabelTextTest, ChangesThatMoveTheTextInvalidateTheIntrinsicSize) {
    auto label = Label::create();
    label->setText("Reelhaven");
    const Size regular = label->intrinsicContentSize();
    int invalidations = label->intrinsicContentSizeInvalidations();
    label->setFont(Font::systemFont(17, FontWeight::bold));
    EXPECT_EQ(label->intrinsicContentSizeInvalidations(), ++invalidations);
    EXPECT_GT(label->intrinsicContentSize().width, regular.width);
    label->setFont(Font::systemFont(17, FontWeight::bold));  // the same font again
    EXPECT_EQ(label->intrinsicContentSizeInvalidations(), invalidations);
    label->setNumberOfLines(0);
    label->setLineBreakMode(LineBreakMode::byCharWrapping);
    label->setPreferredMaxLayoutWidth(50);
    EXPECT_EQ(label->intrinsicContentSizeInvalidations(), invalidations + 3);
    EXPECT_GT(label->intrinsicContentSize().height, regular.height);
}

TEST(LabelTextTest, TheSameTextAgainChangesNothingButTextWithAttributesIsReplaced) {
    // A clock sets its text many times a second: the same text must neither lay out nor paint.
    auto label = Label::create(Rect(0, 0, 80, 20));
    label->setText("0:07");
    label->displayIfNeeded();
    const int invalidations = label->intrinsicContentSizeInvalidations();
    const auto version = label->layer().contentsVersion();
    label->setText("0:07");
    EXPECT_EQ(label->intrinsicContentSizeInvalidations(), invalidations);
    EXPECT_FALSE(label->needsDisplay());
    EXPECT_EQ(label->layer().contentsVersion(), version);
    label->setText("0:08");
    EXPECT_EQ(label->intrinsicContentSizeInvalidations(), invalidations + 1);
    EXPECT_TRUE(label->needsDisplay());
    // The same characters given with attributes, then as plain text: the attributes go.
    auto styled = AttributedString::create("0:08");
    label->setAttributedText(styled);
    label->setText("0:08");
    EXPECT_NE(label->attributedText(), styled);
    EXPECT_EQ(label->text(), std::optional<std::string>("0:08"));
}

TEST(LabelTextTest, TheShownTextIsCutToTheBoundsAndCentredInThem) {
    const auto font = Font::systemFont(17);
    auto label = Label::create(Rect(0, 0, 100, 60));
    label->setText(sentence);
    label->setTextColor(Color::systemGray());
    const auto frame = label->textFrame();
    ASSERT_EQ(frame.lines().size(), 1u);
    EXPECT_TRUE(
        frame.lines()[0].text.size() > ellipsis.size() &&
        frame.lines()[0].text.compare(frame.lines()[0].text.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0);
    EXPECT_LE(frame.lines()[0].width, 100);
    EXPECT_EQ(frame.lines()[0].runs[0].color, Color::systemGray());
    EXPECT_EQ(label->textRect(), Rect(0, (60 - std::ceil(font.lineHeight())) / 2, 100, std::ceil(font.lineHeight())));

    // Centred text sits in the middle of the bounds.
    label->setText("ab");
    label->setTextAlignment(TextAlignment::center);
    EXPECT_DOUBLE_EQ(label->textFrame().lines()[0].origin.x, (100 - font.widthOf("ab")) / 2);

    // Highlighted labels paint in the highlighted colour.
    label->setHighlightedTextColor(Color::white());
    label->setHighlighted(true);
    EXPECT_EQ(label->textFrame().lines()[0].runs[0].color, Color::white());

    // Lines beyond the bounds' height are left out; the last one shown takes the "…".
    label->setText(sentence);
    label->setNumberOfLines(0);
    label->setFrame(Rect(0, 0, 120, 2.5 * font.lineHeight()));
    const auto tall = label->textFrame();
    ASSERT_EQ(tall.lines().size(), 2u);
    EXPECT_TRUE(tall.lines()[1].truncated);
}

TEST(LabelTextTest, AdjustingTheFontSizeShrinksBeforeTruncating) {
    const auto font = Font::systemFont(18, FontWeight::semibold);
    auto label = Label::create(Rect(0, 0, font.widthOf(sentence) * 0.6, 40));
    label->setFont(font);
    label->setText(sentence);
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumScaleFactor(0.5);
    const auto shrunk = label->textFrame();
    EXPECT_EQ(shrunk.displayedText(), sentence);
    EXPECT_GE(shrunk.scaleFactor(), 0.5);
    EXPECT_LE(shrunk.scaleFactor(), 0.6);
    // Measuring is not shrinking: the intrinsic size is the full-size text's.
    EXPECT_EQ(label->intrinsicContentSize().width, std::ceil(font.widthOf(sentence)));
    // Without a minimum scale the font keeps its size and the tail is cut.
    label->setMinimumScaleFactor(0);
    EXPECT_EQ(label->textFrame().scaleFactor(), 1);
    EXPECT_TRUE(label->textFrame().isTruncated());

    // Two lines: a name that needs three at full size shrinks onto two before it is cut.
    const std::string name = "A very long video name that wraps onto three lines";
    auto title = Label::create(Rect(0, 0, font.widthOf(name) / 2.6, 60));
    title->setFont(font);
    title->setText(name);
    title->setNumberOfLines(2);
    title->setLineBreakMode(LineBreakMode::byTruncatingTail);
    ASSERT_EQ(TextFrame::create(name, font, {title->bounds().width()}).lines().size(), 3u);
    EXPECT_TRUE(title->textFrame().isTruncated());
    title->setAdjustsFontSizeToFitWidth(true);
    title->setMinimumScaleFactor(0.5);
    const auto fitted = title->textFrame();
    EXPECT_EQ(fitted.lines().size(), 2u);
    EXPECT_FALSE(fitted.isTruncated());
    EXPECT_LT(fitted.scaleFactor(), 1);
    EXPECT_EQ(fitted.lines()[0].text + " " + fitted.lines()[1].text, name);
}

TEST(LabelTextTest, AttributedTextMeasuresItsOwnRuns) {
    const auto large = Font::systemFont(30);
    auto label = Label::create();
    label->setFont(Font::systemFont(10));
    label->setAttributedText(AttributedString::create("ab", {})->appending(
        *AttributedString::create("cd", {{AttributedStringKey::font(), large}})));
    EXPECT_EQ(label->intrinsicContentSize(), (Size{std::ceil(Font::systemFont(10).widthOf("ab") + large.widthOf("cd")),
                                                   std::ceil(large.lineHeight())}));
    EXPECT_EQ(label->text(), "abcd");
}

TEST(TextFieldTextTest, TheFieldMeasuresWhatItShowsInsideItsBorder) {
    const auto font = Font::systemFont(17);
    auto field = TextField::create();
    field->setBorderStyle(TextFieldBorderStyle::roundedRect);
    // Empty: as tall as a line of its font, with the border's padding.
    EXPECT_EQ(field->intrinsicContentSize(), (Size{14, std::ceil(font.lineHeight()) + 14}));
    field->setPlaceholder("Name");
    EXPECT_EQ(field->intrinsicContentSize().width, std::ceil(font.widthOf("Name")) + 14);
    field->type("AVA");
    EXPECT_EQ(field->displayedText(), "AVA");
    EXPECT_EQ(field->intrinsicContentSize().width, std::ceil(font.widthOf("AVA")) + 14);
    // A secure field shows (and measures) one dot per character, "é" included.
    field->setSecureTextEntry(true);
    field->setText("p\xC3\xA9n");
    EXPECT_EQ(field->displayedText(), "\xE2\x80\xA2\xE2\x80\xA2\xE2\x80\xA2");
    EXPECT_EQ(field->intrinsicContentSize().width, std::ceil(3 * font.widthOf("\xE2\x80\xA2")) + 14);
}

}  // namespace
}  // namespace ui
