#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <memory>
#include <string>
#include <thread>

#include "platform/ui/controls/button.h"
#include "platform/ui/text/font_library.h"
#include "platform/ui/text/text_frame.h"
#include "platform/ui/text/text_shaper.h"

namespace ui {
namespace {

// Inter has 2816 units per em: at 28.16 points one unit is a hundredth of a point.
constexpr double hundredthsPerUnit = 28.16;

// Glyph ids straight from FreeType's character map, to check the shaper against.
std::vector<std::uint32_t> freetypeGlyphs(const std::string& postscriptName, const std::u32string& characters) {
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    FT_Face face = nullptr;
    std::vector<std::uint32_t> glyphs;
    const auto file = FontLibrary::shared().fontFile(postscriptName).value_or(FontLibrary::FontFile{});
    if (FT_New_Face(library, file.path.c_str(), file.index, &face) == 0) {
        for (const char32_t c : characters) glyphs.push_back(FT_Get_Char_Index(face, static_cast<FT_ULong>(c)));
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return glyphs;
}

TextLine oneLine(const std::string& text, const Font& font) {
    const auto frame = TextFrame::create(text, font, TextContainer{});
    EXPECT_EQ(frame.lines().size(), 1u);
    return frame.lines().empty() ? TextLine{} : frame.lines().front();
}

TEST(TextShapingTest, KerningPairsAreSetCloserThanTheirAdvances) {
    const auto font = Font::systemFont(hundredthsPerUnit);
    // Inter's advances: A 1904 and V 1904 units; its kerning table pulls "AV" in by 192 units and
    // "To" by 224 (T alone advances 1808, o 1680).
    EXPECT_NEAR(font.widthOf("A") + font.widthOf("V"), 38.08, 1e-9);
    EXPECT_NEAR(font.widthOf("AV"), 36.16, 1e-9);
    EXPECT_NEAR(font.widthOf("T") + font.widthOf("o"), 34.88, 1e-9);
    EXPECT_NEAR(font.widthOf("To"), 32.64, 1e-9);
    // Letters without a kerning pair keep their advances.
    EXPECT_DOUBLE_EQ(font.widthOf("Hello"), font.widthOf("He") + font.widthOf("llo"));

    auto label = Label::create();
    label->setFont(Font::systemFont(100));
    label->setText("AV");
    const double kerned = label->intrinsicContentSize().width;
    label->setText("A");
    const double a = label->intrinsicContentSize().width;
    label->setText("V");
    EXPECT_LT(kerned, a + label->intrinsicContentSize().width - 2);
}

TEST(TextShapingTest, ContextualLigaturesJoinCharactersIntoOneGlyph) {
    // Inter draws "->" as one arrow glyph; the line keeps both characters as its text.
    const auto font = Font::systemFont(17);
    const auto line = oneLine("a->b", font);
    ASSERT_EQ(line.runs.size(), 1u);
    const auto& glyphs = line.runs[0].glyphs;
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[1].sourceIndex, 1u);
    EXPECT_EQ(glyphs[2].sourceIndex, 3u);
    EXPECT_EQ(line.text, "a->b");
    EXPECT_LT(font.widthOf("->"), font.widthOf("-") + font.widthOf(">"));
}

TEST(TextShapingTest, GlyphRunsCarryFreeTypeGlyphIdsPositionsFontAndColour) {
    const auto font = Font::systemFont(20, FontWeight::semibold);
    const auto frame = TextFrame::create(*AttributedString::create("Hi there"), font, Color::systemRed(), {});
    ASSERT_EQ(frame.lines().size(), 1u);
    const auto& line = frame.lines()[0];
    ASSERT_EQ(line.runs.size(), 1u);
    const auto& run = line.runs[0];
    EXPECT_EQ(run.font, font);
    EXPECT_EQ(run.color, Color::systemRed());
    std::vector<std::uint32_t> ids;
    double pen = 0;
    for (const auto& glyph : run.glyphs) {
        ids.push_back(glyph.id);
        EXPECT_DOUBLE_EQ(glyph.position.x, pen);
        EXPECT_EQ(glyph.position.y, 0);
        pen += glyph.advance;
    }
    EXPECT_EQ(ids, freetypeGlyphs("Inter-SemiBold", U"Hi there"));
    EXPECT_DOUBLE_EQ(pen, line.width);
    EXPECT_DOUBLE_EQ(line.width, font.widthOf("Hi there"));
    // The baseline sits one ascender below the top; the line is as tall as the font's.
    EXPECT_DOUBLE_EQ(line.origin.y, font.ascender());
    EXPECT_DOUBLE_EQ(line.height, font.lineHeight());
}

TEST(TextShapingTest, CharactersTheFontLacksShowInAnInstalledFontThatHasThem) {
    // Inter has no Hebrew; another installed font does, and draws the whole phrase, space included.
    const std::u32string shin = U"\u05E9";
    ASSERT_EQ(freetypeGlyphs("Inter-Regular", shin), std::vector<std::uint32_t>{0});
    const std::string hebrew = "\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D \xD7\xA2\xD7\x95\xD7\x9C\xD7\x9D";
    const auto frame = TextFrame::create("ab " + hebrew, Font::systemFont(17), TextContainer{});
    ASSERT_EQ(frame.lines().size(), 1u);
    const auto& runs = frame.lines()[0].runs;
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].font.fontName(), "Inter-Regular");
    const auto& fallback = runs[1];
    EXPECT_NE(fallback.font.fontName(), "Inter-Regular");
    EXPECT_EQ(fallback.font.pointSize(), 17);
    EXPECT_NE(freetypeGlyphs(fallback.font.fontName(), shin), std::vector<std::uint32_t>{0});
    EXPECT_EQ(fallback.glyphs.size(), 9u);
    for (const auto& glyph : fallback.glyphs) EXPECT_NE(glyph.id, 0u);
    // Right to left: the last letter is drawn first.
    EXPECT_EQ(fallback.glyphs.front().sourceIndex, 3 + hebrew.size() - 2);
}

TEST(TextShapingTest, JapaneseAndEmojiShowInFontsOfTheirOwnNearTheWeightAskedFor) {
    // Neither Inter nor DejaVu has kanji, kana or emoji: the system's configuration finds a CJK
    // face (a font of a collection file) and the emoji font; a bold label gets a bold CJK face.
    const std::u32string natsu = U"\u590F";
    const std::u32string fireworks = U"\U0001F386";
    ASSERT_EQ(freetypeGlyphs("Inter-Regular", natsu), std::vector<std::uint32_t>{0});
    const std::string title =
        "\xE5\xA4\x8F\xE3\x81\xAE\xE6\x80\x9D\xE3\x81\x84\xE5\x87\xBA "
        "\xF0\x9F\x8E\x86";  // "夏の思い出 🎆"
    for (const auto weight : {FontWeight::regular, FontWeight::bold}) {
        const auto font = Font::systemFont(17, weight);
        const auto frame = TextFrame::create(title, font, TextContainer{});
        ASSERT_EQ(frame.lines().size(), 1u);
        const auto& runs = frame.lines()[0].runs;
        ASSERT_EQ(runs.size(), 2u) << "the kana and kanji in one run, the emoji in another";
        EXPECT_NE(runs[0].font.fontName(), runs[1].font.fontName());
        EXPECT_NE(freetypeGlyphs(runs[0].font.fontName(), natsu), std::vector<std::uint32_t>{0});
        EXPECT_NE(freetypeGlyphs(runs[1].font.fontName(), fireworks), std::vector<std::uint32_t>{0});
        for (const auto& run : runs) {
            for (const auto& glyph : run.glyphs) EXPECT_NE(glyph.id, 0u) << run.font.fontName();
        }
        const auto cjk = FontLibrary::shared().metrics(runs[0].font.fontName());
        ASSERT_TRUE(cjk);
        if (weight == FontWeight::bold) {
            EXPECT_GE(cjk->weightClass, 600) << runs[0].font.fontName();
        } else {
            EXPECT_LT(cjk->weightClass, 600) << runs[0].font.fontName();
        }
        EXPECT_GT(frame.lines()[0].width, 5 * 17 * 0.9) << "five full-width characters and an emoji";
    }
}

TEST(TextShapingTest, TheSpaceAfterAnEmojiIsMeasuredAndDrawnInTheTextsOwnFont) {
    // The emoji font has a space of its own, as wide as an emoji: kept in the emoji's run it
    // left a gap after the emoji and made the title wider than what it shows.
    const auto font = Font::systemFont(17);
    const auto frame = TextFrame::create("Party \xF0\x9F\x8E\x89 time", font, TextContainer{});
    ASSERT_EQ(frame.lines().size(), 1u);
    const auto& runs = frame.lines()[0].runs;
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].font.fontName(), runs[2].font.fontName());
    EXPECT_EQ(runs[1].glyphs.size(), 1u) << "the emoji alone in its font";
    const auto width = [&](const std::string& text) {
        return TextFrame::create(text, font, TextContainer{}).lines()[0].width;
    };
    const double space = width("a b") - width("ab");
    const double joined = width("Party \xF0\x9F\x8E\x89time");
    EXPECT_NEAR(frame.lines()[0].width - joined, space, 0.5) << "the space after the emoji is a text space";
}

TEST(TextShapingTest, ShapedRunsAreCachedAndServeEverySize) {
    auto& shaper = TextShaper::shared();
    const auto first = shaper.shape("Inter-Regular", ShapingFeatures::none, "cached once", TextDirection::leftToRight);
    const auto again = shaper.shape("Inter-Regular", ShapingFeatures::none, "cached once", TextDirection::leftToRight);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, again);
    EXPECT_NE(first,
              shaper.shape("Inter-Regular", ShapingFeatures::tabularDigits, "cached once", TextDirection::leftToRight));
    EXPECT_EQ(shaper.shape("No-Such-Font", ShapingFeatures::none, "x", TextDirection::leftToRight), nullptr);
    // Sizes scale one shaping: twice the size, twice the width.
    EXPECT_DOUBLE_EQ(Font::systemFont(24).widthOf("cached once"), 2 * Font::systemFont(12).widthOf("cached once"));
}

TEST(TextShapingTest, ThreadsShapeAndLayOutTheSameAsOneThreadDoes) {
    // Widths are computed on one thread first, then by four at once over a cold cache that they
    // fill together.
    const auto font = Font::systemFont(15);
    std::vector<std::string> texts;
    for (int i = 0; i < 300; ++i) texts.push_back("Video " + std::to_string(i * 7919) + " AV To ->");
    std::vector<double> expected;
    for (const auto& text : texts)
        expected.push_back(TextFrame::create(text, font, {80}).size().height + font.widthOf(text));
    TextShaper::shared().clearCache();
    std::vector<std::vector<double>> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            for (size_t k = 0; k < texts.size(); ++k) {
                const auto& text = texts[(k + t * 75) % texts.size()];
                results[t].push_back(TextFrame::create(text, font, {80}).size().height + font.widthOf(text));
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (size_t t = 0; t < results.size(); ++t) {
        for (size_t k = 0; k < texts.size(); ++k) ASSERT_EQ(results[t][k], expected[(k + t * 75) % texts.size()]);
    }
}

TEST(TextShapingTest, ThreadsFindFallbackFontsTogetherAsOneThreadDoes) {
    // Scripts no other case asks for, so their fallbacks are looked up here first, by four threads
    // at once; one thread afterwards measures the same.
    const std::vector<std::string> texts{"\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4",               // 한국어
                                         "\xE0\xB8\xA0\xE0\xB8\xB2\xE0\xB8\xA9\xE0\xB8\xB2",   // ภาษา
                                         "\xE6\xBC\xA2\xE5\xAD\x97 \xE6\x97\xA5\xE6\x9C\xAC",  // 漢字 日本
                                         "\xF0\x9F\x8E\xAC \xF0\x9F\x8D\xBF"};                 // 🎬 🍿
    const auto font = Font::systemFont(15, FontWeight::semibold);
    std::vector<std::vector<double>> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            for (size_t k = 0; k < texts.size(); ++k)
                results[t].push_back(TextFrame::create(texts[(k + t) % texts.size()], font, {}).size().width);
        });
    }
    for (auto& thread : threads) thread.join();
    for (size_t t = 0; t < results.size(); ++t) {
        for (size_t k = 0; k < texts.size(); ++k) {
            const auto& text = texts[(k + t) % texts.size()];
            EXPECT_EQ(results[t][k], TextFrame::create(text, font, {}).size().width) << text;
            EXPECT_GT(results[t][k], 15) << text;
        }
    }
}

TEST(TextShapingTest, ButtonTitlesAreMeasuredShaped) {
    auto button = Button::create();
    button->setTitle("AV", ControlState::normal);
    const Font font = button->titleLabel()->font();
    EXPECT_EQ(button->intrinsicContentSize().width, std::ceil(font.widthOf("AV")));
    EXPECT_LT(font.widthOf("AV"), font.widthOf("A") + font.widthOf("V"));
}

}  // namespace
}  // namespace ui
