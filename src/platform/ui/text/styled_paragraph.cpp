#include "platform/ui/text/styled_paragraph.h"

#include <algorithm>

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

    std::vector<double> advances(end - start, 0.0);
    for (const auto& item : m_items) {
        const auto& style = *item.style;
        if (style.attachment) {
            advances[item.start - start] += attachmentBounds(*style.attachment).width() + style.kern;
            continue;
        }
        const auto shaping =
            FontShaping::shape(style.font, text.substr(item.start, item.end - item.start), directionOf(item.level));
        if (!shaping.shaped) continue;
        for (const auto& glyph : shaping.shaped->glyphs)
            advances[item.start - start + glyph.cluster] += glyph.advance * shaping.scale + style.kern;
    }
    m_prefix.assign(advances.size() + 1, 0.0);
    for (size_t i = 0; i < advances.size(); ++i) m_prefix[i + 1] = m_prefix[i] + advances[i];
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

std::vector<size_t> StyledParagraph::graphemeBreaks(size_t a, size_t b) const {
    auto breaks = text_boundaries::graphemeBreaks(m_text.substr(a, b - a));
    for (auto& offset : breaks) offset += a;
    return breaks;
}

std::vector<size_t> StyledParagraph::lineBreaks(size_t a, size_t b) const {
    auto breaks = text_boundaries::lineBreaks(m_text.substr(a, b - a));
    for (auto& offset : breaks) offset += a;
    return breaks;
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
