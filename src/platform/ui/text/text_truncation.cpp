#include "platform/ui/text/text_truncation.h"

namespace ui::text_truncation {

namespace {

using Piece = StyledParagraph::Piece;

std::vector<Piece> tail(const StyledParagraph& p, size_t start, size_t end, double width) {
    size_t kept = start;
    for (const size_t b : p.graphemeBreaks(start, end)) {
        const size_t trimmed = p.trimEnd(start, b);
        if (p.width(start, trimmed) + p.ellipsisWidth(trimmed) > width) break;
        kept = trimmed;
    }
    return {{start, kept, false}, {kept, kept, true}};
}

std::vector<Piece> head(const StyledParagraph& p, size_t start, size_t end, double width) {
    auto breaks = p.graphemeBreaks(start, end);
    breaks.insert(breaks.begin(), start);
    size_t kept = end;
    // From the end backwards: the earliest character start whose rest still fits.
    for (auto it = breaks.rbegin(); it != breaks.rend(); ++it) {
        const size_t trimmed = p.trimStart(*it, end);
        if (p.ellipsisWidth(trimmed) + p.width(trimmed, end) > width) break;
        kept = trimmed;
    }
    return {{kept, kept, true}, {kept, end, false}};
}

// Characters are taken from each end in turn while they fit, so both halves stay about as long.
std::vector<Piece> middle(const StyledParagraph& p, size_t start, size_t end, double width) {
    auto breaks = p.graphemeBreaks(start, end);
    breaks.insert(breaks.begin(), start);
    size_t front = 0;                 // index of the head's end in breaks
    size_t back = breaks.size() - 1;  // index of the tail's start
    auto fits = [&](size_t f, size_t b) {
        const size_t headEnd = p.trimEnd(start, breaks[f]);
        const size_t tailStart = p.trimStart(breaks[b], end);
        return p.width(start, headEnd) + p.ellipsisWidth(headEnd) + p.width(tailStart, end) <= width;
    };
    for (bool grew = true; grew && front + 1 < back;) {
        grew = false;
        if (fits(front + 1, back)) {
            ++front;
            grew = true;
        }
        if (front + 1 < back && fits(front, back - 1)) {
            --back;
            grew = true;
        }
    }
    const size_t headEnd = p.trimEnd(start, breaks[front]);
    const size_t tailStart = p.trimStart(breaks[back], end);
    if (!fits(front, back)) return {{headEnd, headEnd, true}};
    return {{start, headEnd, false}, {headEnd, headEnd, true}, {tailStart, end, false}};
}

}  // namespace

std::vector<Piece> truncate(const StyledParagraph& paragraph, size_t start, size_t end, double width,
                            LineBreakMode mode, bool textFollows) {
    const bool fits = paragraph.width(start, end) <= width;
    if (fits && (!textFollows || mode == LineBreakMode::byTruncatingHead || mode == LineBreakMode::byTruncatingMiddle))
        return {{start, end, false}};
    switch (mode) {
        case LineBreakMode::byTruncatingHead: return head(paragraph, start, end, width);
        case LineBreakMode::byTruncatingMiddle: return middle(paragraph, start, end, width);
        default: return tail(paragraph, start, end, width);
    }
}

}  // namespace ui::text_truncation
