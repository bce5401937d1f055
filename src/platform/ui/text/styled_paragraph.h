#pragma once

#include <deque>
#include <string_view>
#include <vector>

#include "platform/ui/text/bidi_paragraph.h"
#include "platform/ui/text/text_line.h"
#include "platform/ui/text/text_style.h"

namespace ui {

// Bytes of the source that share one style.
struct StyleRange {
    size_t start = 0;
    size_t end = 0;
    size_t style = 0;  // index into the styles
};

// One paragraph of a text, ready to be broken into lines: split into items of one style and one
// direction, each shaped once, so the width of any stretch is a sum of the advances its
// characters take. Lines are then shaped again from their own text, so kerning and ligatures at
// a line's ends are those the shown line has.
class StyledParagraph {
public:
    // A part of a line: source bytes [start, end), or, when `ellipsis`, the "…" put in at `start`.
    struct Piece {
        size_t start = 0;
        size_t end = 0;
        bool ellipsis = false;
    };

    // `text` is the whole source; the paragraph is its bytes [start, end). `styles` outlive it.
    StyledParagraph(std::string_view text, size_t start, size_t end, const std::vector<TextStyle>& styles,
                    const std::vector<StyleRange>& ranges, const TextStyle& defaultStyle);
    // Items point into the paragraph's own fallback styles.
    StyledParagraph(const StyledParagraph&) = delete;
    StyledParagraph& operator=(const StyledParagraph&) = delete;

    size_t start() const { return m_start; }
    size_t end() const { return m_end; }
    std::string_view text() const { return m_text; }
    bool rightToLeft() const { return m_bidi.rightToLeft; }

    // The advance, in points, of the source bytes [a, b) of the paragraph.
    double width(size_t a, size_t b) const { return m_prefix[b - m_start] - m_prefix[a - m_start]; }
    // The advance of a "…" in the style of the text at `at`.
    double ellipsisWidth(size_t at) const;
    // Ends of the characters of [a, b), as the source's byte offsets; see text_boundaries. Only
    // places between glyphs count: a ligature ("->" is one arrow) is never cut.
    std::vector<size_t> graphemeBreaks(size_t a, size_t b) const;
    std::vector<size_t> lineBreaks(size_t a, size_t b) const;
    // `b` moved back over spaces and tabs (not before `a`), and `a` forward.
    size_t trimEnd(size_t a, size_t b) const;
    size_t trimStart(size_t a, size_t b) const;

    // The line that shows these pieces, given in logical order, with its origin at (0, 0).
    TextLine line(const std::vector<Piece>& pieces) const;

private:
    struct Item {
        size_t start = 0;
        size_t end = 0;
        const TextStyle* style = nullptr;
        int level = 0;
    };
    struct Segment {
        size_t start = 0;
        size_t end = 0;
        const Item* item = nullptr;
        bool ellipsis = false;
    };

    const Item& itemAt(size_t at) const;
    // The breaks (offsets from `a`) that fall between glyphs, as source offsets.
    std::vector<size_t> cuttable(std::vector<size_t> breaks, size_t a, size_t b) const;
    // Splits items where characters their font lacks are shown in a fallback font.
    void fallBack();
    const TextStyle& fallbackStyle(const TextStyle& style, const std::string& fontName);
    GlyphRun run(const Segment& segment, double x) const;

    std::string_view m_text;
    size_t m_start = 0;
    size_t m_end = 0;
    const TextStyle* m_defaultStyle = nullptr;
    BidiParagraph m_bidi;
    std::vector<Item> m_items;
    std::deque<TextStyle> m_fallbackStyles;  // stable addresses for the items
    std::vector<double> m_prefix;            // advance of the paragraph's first i bytes
    std::vector<bool> m_clusterStarts;       // whether a glyph's characters begin at byte i
};

}  // namespace ui
