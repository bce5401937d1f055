#include "platform/ui/text/typesetter.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/ui/text/text_truncation.h"

namespace ui {

namespace {

template <typename T>
const T* attribute(const TextAttributes& attributes, const AttributedStringKey& key) {
    const auto it = attributes.find(key);
    return it == attributes.end() ? nullptr : std::any_cast<T>(&it->second);
}

// Widths are sums of many advances: a line that fits exactly may come out a hair over.
constexpr double tolerance = 1e-9;

}  // namespace

Typesetter::Typesetter(const AttributedString& text, const Font& font, const Color& color, double scale) {
    m_default.font = scale == 1 ? font : font.withSize(font.pointSize() * scale);
    m_default.color = color;
    size_t offset = 0;
    for (const auto& run : text.runs()) {
        TextStyle style = m_default;
        const auto& attributes = run.attributes;
        if (const auto* f = attribute<Font>(attributes, AttributedStringKey::font()))
            style.font = scale == 1 ? *f : f->withSize(f->pointSize() * scale);
        if (const auto* c = attribute<Color>(attributes, AttributedStringKey::foregroundColor())) style.color = *c;
        if (const auto* c = attribute<Color>(attributes, AttributedStringKey::backgroundColor()))
            style.backgroundColor = *c;
        if (const auto* k = attribute<double>(attributes, AttributedStringKey::kern())) style.kern = *k * scale;
        if (const auto* k = attribute<int>(attributes, AttributedStringKey::kern())) style.kern = *k * scale;
        if (const auto* a = attribute<std::shared_ptr<TextAttachment>>(attributes, AttributedStringKey::attachment()))
            style.attachment = *a;
        m_ranges.push_back({offset, offset + run.text.size(), m_styles.size()});
        m_styles.push_back(std::move(style));
        m_text += run.text;
        offset += run.text.size();
    }
}

std::vector<Typesetter::LineRange> Typesetter::wrap(const StyledParagraph& p, double width, LineBreakMode mode) const {
    const auto breaks =
        mode == LineBreakMode::byCharWrapping ? p.graphemeBreaks(p.start(), p.end()) : p.lineBreaks(p.start(), p.end());
    std::vector<LineRange> lines;
    size_t next = 0;  // the first break not yet taken
    for (size_t start = p.start(); start < p.end();) {
        size_t end = start;
        for (; next < breaks.size(); ++next) {
            if (breaks[next] <= start) continue;
            if (p.width(start, p.trimEnd(start, breaks[next])) > width + tolerance) break;
            end = breaks[next];
        }
        if (end == start) {
            // Not even one word fits: break it between characters, at least one per line.
            const size_t wordEnd = next < breaks.size() ? breaks[next] : p.end();
            for (const size_t g : p.graphemeBreaks(start, wordEnd)) {
                if (end != start && p.width(start, g) > width + tolerance) break;
                end = g;
            }
        }
        lines.push_back({start, end});
        start = end;
    }
    if (lines.empty()) lines.push_back({p.start(), p.end()});
    return lines;
}

TextLine Typesetter::lastLine(const StyledParagraph& p, size_t start, double width, const TextContainer& container,
                              bool textFollows, const LineRange& wrapped) const {
    switch (container.lineBreakMode) {
        case LineBreakMode::byWordWrapping:
        case LineBreakMode::byCharWrapping: return p.line({{start, p.trimEnd(start, wrapped.end)}});
        case LineBreakMode::byClipping: {
            // The rest of the paragraph on one line; characters that begin inside the width show,
            // cut at the edge where they cross it.
            size_t end = start;
            for (const size_t g : p.graphemeBreaks(start, p.end())) {
                if (p.width(start, end) >= width) break;
                end = g;
            }
            auto line = p.line({{start, end}});
            line.truncated = end < p.end() || textFollows;
            return line;
        }
        default: break;
    }
    // Shaping the shown line again can kern it a little wider than the sum used to choose the
    // cut (a pair split by the "…"); then cut again in a narrower room, at least a quarter point
    // narrower each time, down to the "…" alone.
    double room = width;
    TextLine line;
    for (;;) {
        line = p.line(text_truncation::truncate(p, start, p.end(), room, container.lineBreakMode, textFollows));
        if (line.width <= width + tolerance || room < 0) break;
        room -= std::max(line.width - width, 0.25);
    }
    line.truncated = line.truncated || textFollows;
    return line;
}

Typesetter::Result Typesetter::lay(const TextContainer& container) const {
    const double width = container.width > 0 && std::isfinite(container.width)
                             ? container.width
                             : std::numeric_limits<double>::infinity();
    const size_t limit = container.maximumNumberOfLines > 0 ? static_cast<size_t>(container.maximumNumberOfLines)
                                                            : std::numeric_limits<size_t>::max();
    Result result;
    double y = 0;
    auto place = [&](TextLine line) {
        line.origin = {0, y + line.ascent};
        y += line.height;
        result.lines.push_back(std::move(line));
    };
    for (size_t start = 0; start <= m_text.size();) {
        const size_t newline = m_text.find('\n', start);
        const size_t next = newline == std::string::npos ? m_text.size() + 1 : newline + 1;
        size_t end = std::min(newline, m_text.size());
        if (end > start && m_text[end - 1] == '\r') --end;
        const bool lastParagraph = next > m_text.size();

        const StyledParagraph paragraph(m_text, start, end, m_styles, m_ranges, m_default);
        const auto ranges =
            std::isinf(width) ? std::vector<LineRange>{{start, end}} : wrap(paragraph, width, container.lineBreakMode);
        for (size_t i = 0; i < ranges.size(); ++i) {
            const bool moreInParagraph = i + 1 < ranges.size();
            if (result.lines.size() + 1 == limit && (moreInParagraph || !lastParagraph)) {
                place(lastLine(paragraph, ranges[i].start, width, container, !lastParagraph, ranges[i]));
                result.truncated = true;
                return result;
            }
            // Spaces where the line wraps hang: they take no room and are not shown.
            const size_t lineEnd = moreInParagraph ? paragraph.trimEnd(ranges[i].start, ranges[i].end) : ranges[i].end;
            place(paragraph.line({{ranges[i].start, lineEnd}}));
        }
        start = next;
    }
    return result;
}

}  // namespace ui
