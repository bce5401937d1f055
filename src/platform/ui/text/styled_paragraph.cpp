#include "platform/ui/text/styled_paragraph.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <optional>

#include "platform/ui/text/font_library.h"
#include "platform/ui/text/font_shaping.h"
#include "platform/ui/text/text_boundaries.h"

namespace ui {

namespace {

constexpr std::string_view ellipsis = "\xE2\x80\xA6";  // U+2026

TextDirection directionOf(int level) { return level % 2 ? TextDirection::rightToLeft : TextDirection::leftToRight; }

// Where an attachment sits relative to the baseline: its bounds, or its image's size on it.
Rect attachmentBounds(const TextAttachment& attachment) {
    const Rect bounds = attachment.bounds();
    if (!bounds.isEmpty()) return bounds;
    return {{0, 0}, attachment.sizeOnLine()};
}

bool isSpace(char c) { return c == ' ' || c == '\t'; }

}  // namespace

StyledParagraph::StyledParagraph(std::string_view text, size_t start, size_t end, const std::vector<TextStyle>& styles,
                                 const std::vector<StyleRange>& ranges, const TextStyle& defaultStyle)
    : m_text(text),
      m_start(start),
      m_end(end),
      m_defaultStyle(&defaultStyle),
      m_bidi(BidiParagraph::analyze(text.substr(start, end - start))) {
    for (const auto& run : m_bidi.runs) {
        const size_t runStart = run.start + start;
        const size_t runEnd = run.end + start;
        for (const auto& range : ranges) {
            const size_t a = std::max(runStart, range.start);
            const size_t b = std::min(runEnd, range.end);
            if (a < b) m_items.push_back({a, b, &styles[range.style], run.level});
        }
    }

    fallBack();

    std::vector<double> advances(end - start, 0.0);
    m_clusterStarts.assign(end - start + 1, false);
    m_clusterStarts.front() = m_clusterStarts.back() = true;
    for (const auto& item : m_items) {
        const auto& style = *item.style;
        m_clusterStarts[item.start - start] = true;
        if (style.attachment) {
            advances[item.start - start] += attachmentBounds(*style.attachment).width() + style.kern;
            continue;
        }
        const auto shaping =
            FontShaping::shape(style.font, text.substr(item.start, item.end - item.start), directionOf(item.level));
        if (!shaping.shaped) continue;
        for (const auto& glyph : shaping.shaped->glyphs) {
            advances[item.start - start + glyph.cluster] += glyph.advance * shaping.scale + style.kern;
            m_clusterStarts[item.start - start + glyph.cluster] = true;
        }
    }
    m_prefix.assign(advances.size() + 1, 0.0);
    for (size_t i = 0; i < advances.size(); ++i) m_prefix[i + 1] = m_prefix[i] + advances[i];
}

const TextStyle& StyledParagraph::fallbackStyle(const TextStyle& style, const std::string& fontName) {
    for (const auto& known : m_fallbackStyles) {
        if (known.font.fontName() == fontName && known.font.pointSize() == style.font.pointSize() &&
            known.color == style.color && known.kern == style.kern && known.backgroundColor == style.backgroundColor)
            return known;
    }
    TextStyle substitute = style;
    substitute.font = Font::named(fontName, style.font.pointSize()).value_or(style.font);
    return m_fallbackStyles.emplace_back(std::move(substitute));
}

void StyledParagraph::fallBack() {
    auto& shaper = TextShaper::shared();
    std::vector<Item> items;
    for (const auto& item : m_items) {
        const auto text = m_text.substr(item.start, item.end - item.start);
        // Inter has every ASCII character: most text skips the search.
        if (item.style->attachment ||
            std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
            items.push_back(item);
            continue;
        }
        // Whole characters (a base with its marks) go to the first font that has their base.
        const std::string& own = item.style->font.fontName();
        // The weight a fallback font should match: looked up once per item, when first needed.
        std::optional<int> ownWeight;
        size_t from = item.start;
        auto breaks = text_boundaries::graphemeBreaks(text);
        for (size_t& to : breaks) to += item.start;
        for (const size_t to : breaks) {
            UChar32 base = 0;
            int32_t offset = 0;
            U8_NEXT(reinterpret_cast<const uint8_t*>(m_text.data() + from), offset, static_cast<int32_t>(to - from),
                    base);
            const auto codepoint = static_cast<std::uint32_t>(base);
            // A character both fonts have (a space, a digit) stays in the font before it, so a
            // fallback run is not split at every space; not in an emoji font, whose space is as
            // wide as an emoji.
            const TextStyle* style = item.style;
            const bool control = base < 0x20;
            const bool afterFallback = from > item.start && items.back().style != item.style;
            const auto& before = items.empty() ? own : items.back().style->font.fontName();
            if (!control && afterFallback && !shaper.isColourFont(before) && shaper.hasGlyph(before, codepoint)) {
                style = items.back().style;
            } else if (!control && !shaper.hasGlyph(own, codepoint)) {
                if (!ownWeight) {
                    const auto metrics = FontLibrary::shared().metrics(own);
                    ownWeight = metrics ? metrics->weightClass : 400;
                }
                if (const auto fallback = shaper.fallbackFont(codepoint, *ownWeight))
                    style = &fallbackStyle(*item.style, *fallback);
            }
            if (from > item.start && items.back().style == style) {
                items.back().end = to;
            } else {
                items.push_back({from, to, style, item.level});
            }
            from = to;
        }
    }
    m_items = std::move(items);
}

const StyledParagraph::Item& StyledParagraph::itemAt(size_t at) const {
    static const Item none;
    for (const auto& item : m_items) {
        if (at >= item.start && at < item.end) return item;
    }
    // The end of the paragraph takes the style of its last character.
    return m_items.empty() ? none : m_items.back();
}

double StyledParagraph::ellipsisWidth(size_t at) const {
    const auto* style = itemAt(at).style;
    if (!style || style->attachment) style = m_defaultStyle;
    return FontShaping::shape(style->font, ellipsis).width() + style->kern;
}

std::vector<size_t> StyledParagraph::cuttable(std::vector<size_t> breaks, size_t a, size_t b) const {
    std::vector<size_t> result;
    for (const size_t offset : breaks) {
        if (offset + a == b || m_clusterStarts[offset + a - m_start]) result.push_back(offset + a);
    }
    return result;
}

std::vector<size_t> StyledParagraph::graphemeBreaks(size_t a, size_t b) const {
    return cuttable(text_boundaries::graphemeBreaks(m_text.substr(a, b - a)), a, b);
}

std::vector<size_t> StyledParagraph::lineBreaks(size_t a, size_t b) const {
    return cuttable(text_boundaries::lineBreaks(m_text.substr(a, b - a)), a, b);
}

size_t StyledParagraph::trimEnd(size_t a, size_t b) const {
    while (b > a && isSpace(m_text[b - 1])) --b;
    return b;
}

size_t StyledParagraph::trimStart(size_t a, size_t b) const {
    while (a < b && isSpace(m_text[a])) ++a;
    return a;
}

GlyphRun StyledParagraph::run(const Segment& segment, double x) const {
    const auto& style = segment.item->style ? *segment.item->style : *m_defaultStyle;
    GlyphRun run;
    run.font = style.font;
    run.color = style.color;
    run.backgroundColor = style.backgroundColor;
    run.rightToLeft = segment.ellipsis ? rightToLeft() : segment.item->level % 2 != 0;
    run.x = x;
    run.sourceStart = segment.start;
    run.sourceEnd = segment.end;
    if (style.attachment && !segment.ellipsis) {
        run.attachment = style.attachment;
        run.attachmentBounds = attachmentBounds(*style.attachment);
        run.width = run.attachmentBounds.width() + style.kern;
        return run;
    }
    const auto text = segment.ellipsis ? ellipsis : m_text.substr(segment.start, segment.end - segment.start);
    const auto shaping =
        FontShaping::shape(run.font, text, run.rightToLeft ? TextDirection::rightToLeft : TextDirection::leftToRight);
    if (!shaping.shaped) return run;
    double pen = 0;
    run.glyphs.reserve(shaping.shaped->glyphs.size());
    for (const auto& shaped : shaping.shaped->glyphs) {
        const double advance = shaped.advance * shaping.scale + style.kern;
        run.glyphs.push_back({shaped.glyph,
                              {pen + shaped.xOffset * shaping.scale, -shaped.yOffset * shaping.scale},
                              advance,
                              segment.ellipsis ? segment.start : segment.start + shaped.cluster});
        pen += advance;
    }
    run.width = pen;
    return run;
}

TextLine StyledParagraph::line(const std::vector<Piece>& pieces) const {
    std::vector<Segment> segments;
    for (const auto& piece : pieces) {
        if (piece.ellipsis) {
            segments.push_back({piece.start, piece.start, &itemAt(piece.start), true});
            continue;
        }
        for (const auto& item : m_items) {
            const size_t a = std::max(piece.start, item.start);
            const size_t b = std::min(piece.end, item.end);
            if (a < b) segments.push_back({a, b, &item, false});
        }
    }

    TextLine line;
    line.rightToLeft = rightToLeft();
    line.sourceStart = pieces.empty() ? m_start : pieces.front().start;
    line.sourceEnd = line.sourceStart;
    std::vector<int> levels;
    for (const auto& segment : segments) {
        line.text += segment.ellipsis ? ellipsis : m_text.substr(segment.start, segment.end - segment.start);
        line.sourceStart = std::min(line.sourceStart, segment.start);
        line.sourceEnd = std::max(line.sourceEnd, segment.end);
        line.truncated = line.truncated || segment.ellipsis;
        levels.push_back(segment.ellipsis ? (rightToLeft() ? 1 : 0) : segment.item->level);
    }

    double lineHeight = 0;
    for (const size_t index : BidiParagraph::visualOrder(levels)) {
        auto run = this->run(segments[index], line.width);
        line.width += run.width;
        if (run.attachment) {
            line.ascent = std::max(line.ascent, run.attachmentBounds.maxY());
            line.descent = std::max(line.descent, -run.attachmentBounds.minY());
        } else {
            line.ascent = std::max(line.ascent, run.font.ascender());
            line.descent = std::max(line.descent, -run.font.descender());
            lineHeight = std::max(lineHeight, run.font.lineHeight());
        }
        line.runs.push_back(std::move(run));
    }
    if (segments.empty()) {
        // An empty line is as tall as the text around it would be.
        const auto* style = itemAt(m_start).style;
        const Font& font = style && !style->attachment ? style->font : m_defaultStyle->font;
        line.ascent = font.ascender();
        line.descent = -font.descender();
        lineHeight = font.lineHeight();
    }
    line.height = std::max(lineHeight, line.ascent + line.descent);
    return line;
}

}  // namespace ui
