#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "platform/ui/text/text_attachment.h"
#include "platform/ui/text/text_frame.h"

namespace ui {
namespace {

const std::string ellipsis = "\xE2\x80\xA6";

TextContainer within(double width, int lines = 0, LineBreakMode mode = LineBreakMode::byWordWrapping) {
    TextContainer container;
    container.width = width;
    container.maximumNumberOfLines = lines;
    container.lineBreakMode = mode;
    return container;
}

std::vector<std::string> texts(const TextFrame& frame) {
    std::vector<std::string> result;
    for (const auto& line : frame.lines()) result.push_back(line.text);
    return result;
}

bool startsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
bool endsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TEST(TextFrameTest, WordWrappingFillsEachLineGreedilyAndLosesNothing) {
    const auto font = Font::systemFont(17);
    const std::string text = "There was an issue renaming this file.";
    const auto frame = TextFrame::create(text, font, within(120));
    const auto lines = texts(frame);
    ASSERT_GT(lines.size(), 1u);
    std::string joined;
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(font.widthOf(lines[i]), 120) << lines[i];
        // The next line's first word would not have fitted.
        if (i + 1 < lines.size()) {
            const auto next = lines[i + 1].substr(0, lines[i + 1].find(' '));
            EXPECT_GT(font.widthOf(lines[i] + " " + next), 120) << lines[i];
        }
        joined += (i ? " " : "") + lines[i];
    }
    EXPECT_EQ(joined, text);
    EXPECT_FALSE(frame.isTruncated());
    double height = 0;
    for (const auto& line : frame.lines()) height += line.height;
    EXPECT_EQ(frame.size().height, std::ceil(height));
    EXPECT_LE(frame.size().width, 120);
    // Each line's baseline sits below the previous line by its height.
    for (size_t i = 1; i < frame.lines().size(); ++i)
        EXPECT_DOUBLE_EQ(frame.lines()[i].origin.y - frame.lines()[i - 1].origin.y, font.lineHeight());
}

TEST(TextFrameTest, CharacterWrappingAndOverlongWordsBreakBetweenCharacters) {
    const auto font = Font::systemFont(17);
    for (const auto mode : {LineBreakMode::byCharWrapping, LineBreakMode::byWordWrapping}) {
        const auto lines = texts(TextFrame::create("Supercalifragilistic", font, within(40, 0, mode)));
        ASSERT_GT(lines.size(), 1u);
        std::string joined;
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(font.widthOf(lines[i]), 40);
            if (i + 1 < lines.size()) {
                EXPECT_GT(font.widthOf(lines[i] + lines[i + 1].substr(0, 1)), 40);
            }
            joined += lines[i];
        }
        EXPECT_EQ(joined, "Supercalifragilistic");
    }
    // Character wrapping does not wait for a space; word wrapping does.
    const double room = font.widthOf("ab cdef") + 0.5;
    ASSERT_LT(font.widthOf("cdefgh"), room);
    const auto byChar = texts(TextFrame::create("ab cdefgh", font, within(room, 0, LineBreakMode::byCharWrapping)));
    EXPECT_EQ(byChar, (std::vector<std::string>{"ab cdef", "gh"}));
    const auto byWord = texts(TextFrame::create("ab cdefgh", font, within(room)));
    EXPECT_EQ(byWord, (std::vector<std::string>{"ab", "cdefgh"}));
    // A line narrower than any character still takes one character per line.
    EXPECT_EQ(texts(TextFrame::create("abc", font, within(1))), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(TextFrameTest, EachBreakModeShowsTheLastLineAsASingleLineWould) {
    const auto font = Font::systemFont(17);
    const std::string text = "Reelhaven plays every video";
    const double width = std::floor(font.widthOf(text) / 2);

    const auto tail = TextFrame::create(text, font, within(width, 1, LineBreakMode::byTruncatingTail));
    const auto shownTail = tail.displayedText();
    ASSERT_TRUE(endsWith(shownTail, ellipsis)) << shownTail;
    const auto kept = shownTail.substr(0, shownTail.size() - ellipsis.size());
    EXPECT_TRUE(startsWith(text, kept));
    EXPECT_LE(tail.lines()[0].width, width);
    // One more character would not have fitted with the ellipsis.
    EXPECT_GT(font.widthOf(text.substr(0, kept.size() + 1) + ellipsis), width);
    EXPECT_TRUE(tail.isTruncated());
    EXPECT_TRUE(tail.lines()[0].truncated);

    const auto head = TextFrame::create(text, font, within(width, 1, LineBreakMode::byTruncatingHead));
    const auto shownHead = head.displayedText();
    ASSERT_TRUE(startsWith(shownHead, ellipsis)) << shownHead;
    EXPECT_TRUE(endsWith(text, shownHead.substr(ellipsis.size())));
    EXPECT_LE(head.lines()[0].width, width);

    const auto middle = TextFrame::create(text, font, within(width, 1, LineBreakMode::byTruncatingMiddle));
    const auto shownMiddle = middle.displayedText();
    const auto cut = shownMiddle.find(ellipsis);
    ASSERT_NE(cut, std::string::npos) << shownMiddle;
    const auto front = shownMiddle.substr(0, cut);
    const auto back = shownMiddle.substr(cut + ellipsis.size());
    EXPECT_TRUE(startsWith(text, front));
    EXPECT_TRUE(endsWith(text, back));
    EXPECT_LE(std::abs(static_cast<int>(front.size()) - static_cast<int>(back.size())), 3) << shownMiddle;
    EXPECT_LE(middle.lines()[0].width, width);

    // Clipping keeps every character that begins inside the width, cut at the edge.
    const auto clipped = TextFrame::create(text, font, within(width, 1, LineBreakMode::byClipping));
    const auto shownClipped = clipped.displayedText();
    EXPECT_TRUE(startsWith(text, shownClipped));
    EXPECT_LT(font.widthOf(shownClipped.substr(0, shownClipped.size() - 1)), width);
    EXPECT_GT(font.widthOf(shownClipped), width);
    EXPECT_EQ(clipped.size().width, width);

    // Wrapping modes show the words that fit and no ellipsis.
    const auto wrapped = TextFrame::create(text, font, within(width, 1, LineBreakMode::byWordWrapping));
    EXPECT_EQ(wrapped.displayedText(), "Reelhaven");
    EXPECT_TRUE(wrapped.isTruncated());

    // Text that fits is never cut.
    for (const auto mode : {LineBreakMode::byTruncatingTail, LineBreakMode::byTruncatingHead,
                            LineBreakMode::byTruncatingMiddle, LineBreakMode::byClipping}) {
        const auto whole = TextFrame::create(text, font, within(font.widthOf(text) + 1, 1, mode));
        EXPECT_EQ(whole.displayedText(), text);
        EXPECT_FALSE(whole.isTruncated());
    }
}

TEST(TextFrameTest, TheLineCountWrapsTheFirstLinesAndCutsTheLast) {
    const auto font = Font::systemFont(15);
    const std::string text = "one two three four five six seven eight nine ten eleven twelve";
    const double width = font.widthOf("one two three") + 1;
    const auto all = TextFrame::create(text, font, within(width));
    ASSERT_GT(all.lines().size(), 3u);
    const auto two = TextFrame::create(text, font, within(width, 2, LineBreakMode::byTruncatingTail));
    ASSERT_EQ(two.lines().size(), 2u);
    EXPECT_EQ(two.lines()[0].text, all.lines()[0].text);
    EXPECT_TRUE(endsWith(two.lines()[1].text, ellipsis));
    EXPECT_TRUE(startsWith(two.lines()[1].text, all.lines()[1].text));
    EXPECT_EQ(two.size().height, std::ceil(2 * font.lineHeight()));
    // Explicit line feeds count as lines; a hidden paragraph leaves its "…" on the last shown one.
    const auto paragraphs = TextFrame::create("first\nsecond\nthird", font, within(0, 2));
    EXPECT_EQ(texts(paragraphs), (std::vector<std::string>{"first", "second"}));
    const auto cut = TextFrame::create("first\nsecond\nthird", font, within(0, 2, LineBreakMode::byTruncatingTail));
    EXPECT_EQ(texts(cut), (std::vector<std::string>{"first", "second" + ellipsis}));
}

TEST(TextFrameTest, HeightLeavesOutLinesThatDoNotFitAndShrinkingComesBeforeCutting) {
    const auto font = Font::systemFont(15);
    const std::string text = "one two three four five six seven eight nine ten";
    TextContainer container = within(font.widthOf("one two three") + 1, 0, LineBreakMode::byTruncatingTail);
    container.height = 2.5 * font.lineHeight();
    const auto frame = TextFrame::create(text, font, container);
    ASSERT_EQ(frame.lines().size(), 2u);
    EXPECT_TRUE(endsWith(frame.lines()[1].text, ellipsis));

    TextContainer shrink = within(font.widthOf(text) * 0.8, 1, LineBreakMode::byTruncatingTail);
    shrink.minimumScaleFactor = 0.5;
    const auto shrunk = TextFrame::create(text, font, shrink);
    EXPECT_EQ(shrunk.displayedText(), text);
    EXPECT_FALSE(shrunk.isTruncated());
    EXPECT_GT(shrunk.scaleFactor(), 0.75);
    EXPECT_LE(shrunk.scaleFactor(), 0.8);
    EXPECT_NEAR(shrunk.lines()[0].runs[0].font.pointSize(), 15 * shrunk.scaleFactor(), 1e-9);
    shrink.width = font.widthOf(text) * 0.3;
    const auto smallest = TextFrame::create(text, font, shrink);
    EXPECT_EQ(smallest.scaleFactor(), 0.5);
    EXPECT_TRUE(endsWith(smallest.displayedText(), ellipsis));
}

TEST(TextFrameTest, AttributedRunsKeepTheirFontsAndAttachmentsTakeTheirWidth) {
    const auto small = Font::systemFont(10);
    const auto large = Font::systemFont(30, FontWeight::bold);
    auto attachment = TextAttachment::create();
    attachment->setBounds(Rect(0, -2, 12, 40));
    const auto text = AttributedString::create("ab", {{AttributedStringKey::font(), small}})
                          ->appending(*AttributedString::withAttachment(attachment))
                          ->appending(*AttributedString::create(
                              "cd", {{AttributedStringKey::font(), large},
                                     {AttributedStringKey::foregroundColor(), Color::systemBlue()}}));
    const auto frame = TextFrame::create(*text, small, Color::black(), {});
    ASSERT_EQ(frame.lines().size(), 1u);
    const auto& line = frame.lines()[0];
    ASSERT_EQ(line.runs.size(), 3u);
    EXPECT_EQ(line.runs[0].font, small);
    EXPECT_EQ(line.runs[0].color, Color::black());
    EXPECT_EQ(line.runs[1].attachment, attachment);
    EXPECT_DOUBLE_EQ(line.runs[1].x, small.widthOf("ab"));
    EXPECT_DOUBLE_EQ(line.runs[1].width, 12);
    EXPECT_EQ(line.runs[2].font, large);
    EXPECT_EQ(line.runs[2].color, Color::systemBlue());
    EXPECT_DOUBLE_EQ(line.width, small.widthOf("ab") + 12 + large.widthOf("cd"));
    // The attachment rises 38 points above the baseline, above the large font's ascender.
    EXPECT_DOUBLE_EQ(line.ascent, 38);
    EXPECT_DOUBLE_EQ(line.descent, -large.descender());
    EXPECT_DOUBLE_EQ(line.origin.y, 38);
    EXPECT_EQ(line.text,
              "ab\xEF\xBF\xBC"
              "cd");

    // Kerning attributes add their space after every character.
    const auto spaced = AttributedString::create("NOW", {{AttributedStringKey::kern(), 3.0}});
    EXPECT_DOUBLE_EQ(TextFrame::create(*spaced, small, Color::black(), {}).lines()[0].width, small.widthOf("NOW") + 9);
}

TEST(TextFrameTest, ScriptsMarksAndEmojiLayOutWithoutLosingCharacters) {
    const auto font = Font::systemFont(17);
    // Hebrew runs right to left and the paragraph aligns naturally to the right.
    const std::string hebrew = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D";
    TextContainer wide = within(300);
    const auto rtl = TextFrame::create(hebrew, font, wide);
    ASSERT_EQ(rtl.lines().size(), 1u);
    EXPECT_TRUE(rtl.lines()[0].rightToLeft);
    EXPECT_TRUE(rtl.lines()[0].runs[0].rightToLeft);
    EXPECT_DOUBLE_EQ(rtl.lines()[0].origin.x, 300 - rtl.lines()[0].width);
    EXPECT_EQ(rtl.displayedText(), hebrew);

    // Mixed directions: the Latin words stay left to right, in visual order around the Hebrew.
    const auto mixed = TextFrame::create("abc " + hebrew + " xyz", font, wide);
    ASSERT_EQ(mixed.lines().size(), 1u);
    EXPECT_FALSE(mixed.lines()[0].rightToLeft);
    ASSERT_GE(mixed.lines()[0].runs.size(), 3u);
    EXPECT_FALSE(mixed.lines()[0].runs.front().rightToLeft);
    EXPECT_TRUE(mixed.lines()[0].runs[1].rightToLeft);
    for (size_t i = 1; i < mixed.lines()[0].runs.size(); ++i) {
        const auto& before = mixed.lines()[0].runs[i - 1];
        EXPECT_DOUBLE_EQ(mixed.lines()[0].runs[i].x, before.x + before.width);
    }
    // Digits after Hebrew belong to it: they show left of it, still reading left to right.
    const auto digits = TextFrame::create("abc " + hebrew + " 123", font, wide);
    const auto& runs = digits.lines()[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(digits.lines()[0].text.substr(runs[1].sourceStart, 3), "123");
    EXPECT_FALSE(runs[1].rightToLeft);
    EXPECT_TRUE(runs[2].rightToLeft);

    // A combining accent stays with its letter when characters wrap; emoji and broken UTF-8 get
    // glyphs (the missing-glyph box) and room.
    const std::string accents =
        "e\xCC\x81"
        "e\xCC\x81"
        "e\xCC\x81"
        "e\xCC\x81";
    for (const auto& line :
         TextFrame::create(accents, font, within(font.widthOf("e") + 1, 0, LineBreakMode::byCharWrapping)).lines())
        EXPECT_EQ(line.text, "e\xCC\x81");
    const std::string emoji = "\xF0\x9F\x98\x80\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";
    const auto pictures = TextFrame::create(emoji + " ok", font, {});
    EXPECT_GT(pictures.size().width, font.widthOf(" ok"));
    EXPECT_EQ(pictures.displayedText(), emoji + " ok");
    const auto broken = TextFrame::create(std::string("a\xFF\xFE"
                                                      "b"),
                                          font, within(5, 0));
    EXPECT_FALSE(broken.lines().empty());
}

TEST(TextFrameTest, EmptyAndBlankTextTakeTheRoomTheyShow) {
    const auto font = Font::systemFont(17);
    const auto empty = TextFrame::create("", font, within(100));
    EXPECT_TRUE(empty.lines().empty());
    EXPECT_EQ(empty.size(), (Size{0, 0}));
    // Spaces a paragraph ends with take room; those where a line wraps do not.
    const auto blank = TextFrame::create("   ", font, within(100));
    ASSERT_EQ(blank.lines().size(), 1u);
    EXPECT_DOUBLE_EQ(blank.lines()[0].width, 3 * font.widthOf(" "));
    const auto hanging = TextFrame::create("ab   cd", font, within(font.widthOf("ab") + 1));
    EXPECT_EQ(texts(hanging), (std::vector<std::string>{"ab", "cd"}));
    EXPECT_DOUBLE_EQ(hanging.lines()[0].width, font.widthOf("ab"));
    // Empty paragraphs are lines as tall as the font's.
    const auto feeds = TextFrame::create("\n", font, {});
    ASSERT_EQ(feeds.lines().size(), 2u);
    EXPECT_EQ(feeds.size(), (Size{0, std::ceil(2 * font.lineHeight())}));
}

TEST(TextFrameTest, AnyTextInAnyModeKeepsItsLinesInOrderWithinTheWidth) {
    // Pieces of several scripts, marks, emoji, tabs, line feeds and broken UTF-8, in random
    // texts laid out in random rooms: lines never overlap or go back in the source, the wrapping
    // modes lose nothing but hanging spaces, and cut lines stay within the width.
    const std::vector<std::string> pieces{"AV",
                                          "To ",
                                          "word ",
                                          "->",
                                          "e\xCC\x81",
                                          "\xD7\xA9\xD7\x9C",
                                          "\xF0\x9F\x98\x80",
                                          "  ",
                                          "\t",
                                          "\n",
                                          "123",
                                          "\xE6\x97\xA5\xE6\x9C\xAC",
                                          "\xFF",
                                          "-",
                                          "\xEF\xBF\xBC",
                                          "long"};
    const auto font = Font::systemFont(13);
    std::mt19937 random(20261206);
    for (int round = 0; round < 500; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
        TextContainer container;
        container.width = static_cast<double>(random() % 120);
        container.maximumNumberOfLines = static_cast<int>(random() % 4);
        container.lineBreakMode = static_cast<LineBreakMode>(random() % 6);
        const auto frame = TextFrame::create(text, font, container);
        size_t previousEnd = 0;
        std::string shown;
        for (const auto& line : frame.lines()) {
            EXPECT_GE(line.sourceStart, previousEnd) << text;
            EXPECT_LE(line.sourceEnd, text.size());
            previousEnd = line.sourceEnd;
            shown += line.text;
            const bool cut = line.text.find(ellipsis) != std::string::npos && text.find(ellipsis) == std::string::npos;
            // (A room too narrow for any character shows the "…" alone, whatever it takes.)
            if (cut && line.text != ellipsis && container.width > 0) {
                EXPECT_LE(line.width, container.width + 1e-6) << text << " shown as " << line.text;
            }
        }
        const bool wraps = container.lineBreakMode == LineBreakMode::byWordWrapping ||
                           container.lineBreakMode == LineBreakMode::byCharWrapping;
        if (wraps && !frame.isTruncated()) {
            auto strip = [](std::string s) {
                std::erase_if(s, [](char c) { return c == ' ' || c == '\t' || c == '\n'; });
                return s;
            };
            EXPECT_EQ(strip(shown), strip(text)) << text;
        }
    }
}

}  // namespace
}  // namespace ui
