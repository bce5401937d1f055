// Where a field's caret, selection and the mouse's places lie in its text as shaped, read either
// way, and how an edited line scrolls to keep its caret in view.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ui/text/field_text_layout.h"
#include "platform/ui/text/text_field.h"

namespace ui {
namespace {

using Editing = FieldTextLayout::Editing;

const Font font = Font::systemFont(17);
const std::string alef = "\xD7\x90", bet = "\xD7\x91", shin = "\xD7\xA9", lamed = "\xD7\x9C";

FieldTextLayout edited(const std::string& text, const Rect& room, bool rightToLeft, double scroll = 0) {
    return FieldTextLayout::line(text, font, Color::label(), room, rightToLeft, Editing::yes, scroll);
}

// The caret's middle.
double caretX(const FieldTextLayout& layout, size_t offset) {
    const auto caret = layout.caret(offset);
    return caret.origin.x + caret.size.width / 2;
}

TEST(FieldTextLayout, TheSelectionCoversTheGlyphsItSelectsWhereverTheFieldKeepsItsText) {
    const Rect room(10, 0, 300, 30);
    for (const bool rightToLeft : {false, true}) {
        SCOPED_TRACE(rightToLeft ? "field reads from the right" : "field reads from the left");
        const auto layout = edited("Alpha", room, rightToLeft);
        const double width = layout.frame().lines().at(0).width;
        const double left = rightToLeft ? room.maxX() - width : room.origin.x;
        const auto all = layout.selection({0, 5});
        ASSERT_EQ(all.size(), 1u);
        EXPECT_NEAR(all[0].minX(), left, 0.01);
        EXPECT_NEAR(all[0].maxX(), left + width, 0.01);
        // "lph" lies between the carets before "l" and before "a".
        const auto middle = layout.selection({1, 3});
        ASSERT_EQ(middle.size(), 1u);
        EXPECT_NEAR(middle[0].minX(), caretX(layout, 1), 0.01);
        EXPECT_NEAR(middle[0].maxX(), caretX(layout, 4), 0.01);
        EXPECT_LT(caretX(layout, 0), caretX(layout, 1));
    }
    // Hebrew reads from the right: its first letter, and the caret before it, at the right.
    const std::string hebrew = shin + lamed + alef;
    const auto layout = edited(hebrew, room, false);
    EXPECT_GT(caretX(layout, 0), caretX(layout, 2));
    EXPECT_GT(caretX(layout, 2), caretX(layout, 4));
    EXPECT_GT(caretX(layout, 4), caretX(layout, 6));
    EXPECT_NEAR(caretX(layout, 6), room.origin.x + 1, 1.01) << "its end at the field's left";
    // Hebrew inside text read from the left shows as one stretch; a selection that crosses into
    // it covers two stretches apart.
    const auto mixed = edited("ab " + alef + bet + " cd", room, false);
    EXPECT_EQ(mixed.selection({3, 4}).size(), 1u);
    const auto across = mixed.selection({1, 4});  // "b " and alef, which shows at the Hebrew's right
    ASSERT_EQ(across.size(), 2u);
    EXPECT_LT(across[0].maxX(), across[1].minX());
}

TEST(FieldTextLayout, APointLandsOnTheNearestPlaceBetweenCharactersAndADoubleClickOnItsWord) {
    const Rect room(0, 0, 400, 30);
    for (const std::string& text : {std::string("open the door"), shin + lamed + alef + " " + bet + alef}) {
        const auto layout = edited(text, room, false);
        for (size_t offset = 0; offset <= text.size(); ++offset) {
            if (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80) continue;
            const double x = caretX(layout, offset);
            // A little off the place either way still lands on it.
            EXPECT_EQ(layout.offsetAt({x + 1.5, 15}), offset) << text << " at " << offset;
            EXPECT_EQ(layout.offsetAt({x - 1.5, 15}), offset) << text << " at " << offset;
        }
        // Left of the text: its start when it reads from the left, its end when from the right.
        const bool latin = text[0] == 'o';
        EXPECT_EQ(layout.offsetAt({-50, 15}), latin ? 0 : text.size());
        EXPECT_EQ(layout.offsetAt({399, 15}), latin ? text.size() : 0);
    }
    const auto words = edited("open the door", room, false);
    const double inThe = (caretX(words, 5) + caretX(words, 8)) / 2;
    EXPECT_EQ(words.wordAt({inThe, 15}), (TextRange{5, 3}));
    EXPECT_EQ(words.wordAt({399, 15}), (TextRange{9, 4})) << "beyond the text: its last word";
}

TEST(FieldTextLayout, AnEditedLineWiderThanItsRoomScrollsJustEnoughToShowTheCaret) {
    const std::string url = "https://example.com/videos/holidays/2024/the-long-walk-home.mp4";
    const Rect room(20, 0, 120, 30);
    const auto unscrolled = edited(url, room, false);
    ASSERT_TRUE(unscrolled.isScrollable());
    const auto end = url.size();
    const double scroll = unscrolled.scrollShowing(end, 0);
    EXPECT_GT(scroll, 0);
    const auto atEnd = edited(url, room, false, scroll);
    const auto caret = atEnd.caret(end);
    EXPECT_GE(caret.minX(), room.minX());
    EXPECT_LE(caret.maxX(), room.maxX());
    EXPECT_NEAR(caretX(atEnd, end), room.maxX() - 1, 0.5) << "the end shows at the right, not cut";
    // A step back keeps the scroll; the start scrolls back to it.
    EXPECT_EQ(atEnd.scrollShowing(end - 1, scroll), scroll);
    EXPECT_EQ(atEnd.scrollShowing(0, scroll), 0);
    // The mouse lands on the text as scrolled: the room's right edge is near the end.
    EXPECT_GE(atEnd.offsetAt({room.maxX() - 2, 15}), end - 2);
    // Not edited, the line is cut with "…" inside the room.
    const auto shown = FieldTextLayout::line(url, font, Color::label(), room, false, Editing::no);
    EXPECT_TRUE(shown.frame().isTruncated());
    EXPECT_LE(shown.frame().size().width, room.size.width);

    // Text read from the right starts at the right; its end, at the left, scrolls into view.
    std::string hebrew;
    for (int i = 0; i < 30; ++i) hebrew += (i % 5 == 4) ? std::string(" ") : shin + lamed;
    const auto fromRight = edited(hebrew, room, true);
    ASSERT_TRUE(fromRight.isScrollable());
    EXPECT_NEAR(caretX(fromRight, 0), room.maxX() - 1, 0.5);
    const double back = fromRight.scrollShowing(hebrew.size(), 0);
    EXPECT_NEAR(caretX(edited(hebrew, room, true, back), hebrew.size()), room.minX() + 1, 0.5);
}

TEST(FieldTextLayout, ATextFieldKeepsTheScrollItWasShownAtAndShowsItsPlaceholderWithTheCaretAtItsLeadingEnd) {
    auto field = TextField::create(Rect(0, 0, 150, 34));
    field->setBorderStyle(TextFieldBorderStyle::roundedRect);
    field->setPlaceholder("Address");
    field->beginEditing();
    auto empty = field->shownLayout();
    EXPECT_EQ(empty.frame().displayedText(), "Address");
    EXPECT_NEAR(empty.caret(0).minX(), field->textRect().minX(), 0.01);
    const std::string url = "http://example.com/a/very/long/path/to/a/video.mkv";
    field->type(url);
    const auto shown = field->shownLayout();
    EXPECT_GT(field->textScroll(), 0) << "the caret at the end scrolled into view";
    EXPECT_LE(shown.caret(url.size()).maxX(), field->textRect().maxX());
    field->setSelectedTextRange({0, 0});
    field->shownLayout();
    EXPECT_EQ(field->textScroll(), 0);
    field->endEditing();
    EXPECT_TRUE(field->shownLayout().frame().isTruncated()) << "not edited, it is cut with \u2026";
}

TEST(FieldTextLayout, AFieldOfSeveralLinesScrollsUpToShowTheCaretOnALinePastItsLimit) {
    auto field = TextField::create(Rect(0, 0, 150, 34));
    field->setBorderStyle(TextFieldBorderStyle::roundedRect);
    field->setLineLimit(2);
    field->setFrame(Rect(0, 0, 150, field->sizeThatFits({150, 0}).height));
    std::string url = "http://example.com/";
    while (url.size() < 200) url += "segment/";
    field->type(url);
    auto shown = field->shownLayout();
    ASSERT_TRUE(shown.scrollsVertically());
    ASSERT_GT(shown.frame().lines().size(), 2u) << "edited, no line is left out";
    EXPECT_GT(field->textScroll(), 0);
    const auto caret = shown.caret(url.size());
    EXPECT_GE(caret.minY(), field->textRect().minY() - 0.01);
    EXPECT_LE(caret.maxY(), field->textRect().maxY() + 0.01);
    EXPECT_EQ(shown.offsetAt({caret.midX(), caret.midY()}), url.size()) << "the mouse lands on the scrolled lines";
    field->setSelectedTextRange({0, 0});
    shown = field->shownLayout();
    EXPECT_EQ(field->textScroll(), 0);
    EXPECT_NEAR(shown.caret(0).minY(), field->textRect().minY(), 1);
}

TEST(FieldTextLayout, ALayoutAskedAgainFollowsWhatChangedInItsTextLookAndRoom) {
    // Each step asks again right after the one before, as a paint after a key does; what one
    // shows must be its own text in its own font and room, never the one laid out before.
    struct Step {
        const char* what;
        std::string text;
        Font font;
        double width;
        bool truncated;
    };
    const std::string name = "Holiday in Lisbon";
    const Step steps[] = {
        {"whole", name, font, 300, false},
        {"the same again", name, font, 300, false},
        {"a narrower room cuts it", name, font, 60, true},
        {"wide again", name, font, 300, false},
        {"a larger font cuts it", name, Font::systemFont(40), 300, true},
    };
    for (const auto& step : steps) {
        const Rect room{0, 0, step.width, 30};
        const auto layout = FieldTextLayout::line(step.text, step.font, Color::label(), room, false, Editing::no);
        EXPECT_EQ(layout.frame().isTruncated(), step.truncated) << step.what;
    }
    // Another text of the same length, right after: its own glyphs (capitals are wider).
    auto endOf = [](const std::string& text) {
        return caretX(FieldTextLayout::line(text, font, Color::label(), {0, 0, 2000, 30}, false, Editing::yes),
                      text.size());
    };
    const double lower = endOf(name);
    EXPECT_GT(endOf("Holiday in LISBON"), lower + 5);
    EXPECT_EQ(endOf(name), lower);
}

}  // namespace
}  // namespace ui
