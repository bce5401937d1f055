#include "platform/display/text_caret.h"

#include <algorithm>
#include <cmath>

namespace display::text_caret {

namespace {

// Where the caret before `offset` stands on `line`, from the line's origin. A character's leading
// edge: its left in a run read from the left, its right in one read from the right.
double xOnLine(const ui::TextLine& line, size_t offset) {
    const double start = line.rightToLeft ? line.width : 0;
    const double end = line.rightToLeft ? 0 : line.width;
    if (offset <= line.sourceStart) return start;
    const ui::Glyph* nearest = nullptr;
    const ui::GlyphRun* nearestRun = nullptr;
    for (const auto& run : line.runs) {
        for (const auto& glyph : run.glyphs) {
            // The glyph of the character the offset starts, else of the next one shown.
            if (glyph.sourceIndex < offset || (nearest && glyph.sourceIndex >= nearest->sourceIndex)) continue;
            nearest = &glyph;
            nearestRun = &run;
        }
    }
    if (!nearest) return end;
    const double left = nearestRun->x + nearest->position.x;
    return nearestRun->rightToLeft ? left + nearest->advance : left;
}

double top(const ui::TextLine& line) { return line.origin.y - line.ascent; }

// The line that shows `offset`: the first that ends after it, the last for the text's end.
const ui::TextLine* lineOf(const ui::TextFrame& frame, size_t offset) {
    const auto& lines = frame.lines();
    for (const auto& line : lines) {
        if (offset < line.sourceEnd) return &line;
    }
    return lines.empty() ? nullptr : &lines.back();
}

}  // namespace

ui::Rect caret(const ui::TextFrame& frame, size_t offset, double width) {
    const auto* line = lineOf(frame, offset);
    if (!line) return {0, 0, width, frame.size().height};
    const double x = line->origin.x + xOnLine(*line, offset);
    return {std::max(0.0, x - width / 2), top(*line), width, line->ascent + line->descent};
}

std::vector<ui::Rect> selection(const ui::TextFrame& frame, ui::TextRange range) {
    std::vector<ui::Rect> rects;
    if (range.length == 0) return rects;
    for (const auto& line : frame.lines()) {
        if (line.sourceEnd <= range.location || line.sourceStart >= range.end()) continue;
        const double a = xOnLine(line, std::max(range.location, line.sourceStart));
        const double b = xOnLine(line, std::min(range.end(), line.sourceEnd));
        rects.emplace_back(line.origin.x + std::min(a, b), top(line), std::abs(b - a), line.ascent + line.descent);
    }
    return rects;
}

}  // namespace display::text_caret
