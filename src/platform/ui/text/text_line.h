#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/text/font.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/point.h"
#include "platform/ui/views/rect.h"

namespace ui {

class TextAttachment;

// One glyph placed for painting: its id in the font file, its origin relative to its run's
// origin on the baseline (y grows downwards), and the byte offset of the source character it
// shows (for an inserted "…", the place where text was cut).
struct Glyph {
    std::uint32_t id = 0;
    Point position;
    double advance = 0;
    size_t sourceIndex = 0;
};

// Glyphs of one font, colour and direction, or one attachment, side by side on a line.
struct GlyphRun {
    Font font = Font::systemFont(17);
    Color color;
    std::optional<Color> backgroundColor;
    bool rightToLeft = false;
    // The run's origin on the baseline, from the line's origin, and its advance.
    double x = 0;
    double width = 0;
    std::vector<Glyph> glyphs;
    // An attachment has no glyphs; its bounds place it relative to the run's origin, y upwards
    // from the baseline as the attachment gives them.
    std::shared_ptr<TextAttachment> attachment;
    Rect attachmentBounds;
    // The bytes of the source the run shows (an inserted "…" covers none).
    size_t sourceStart = 0;
    size_t sourceEnd = 0;
};

// One line as it is shown: the text after truncation, the runs in visual order, the origin of its
// baseline in the layout and its metrics.
struct TextLine {
    std::string text;
    size_t sourceStart = 0;
    size_t sourceEnd = 0;
    Point origin;  // left end of the baseline
    double width = 0;
    double ascent = 0;
    double descent = 0;  // below the baseline, positive
    double height = 0;   // from the line's top to the next line's
    bool rightToLeft = false;
    bool truncated = false;  // cut with "…" or at the edge
    std::vector<GlyphRun> runs;

    double top() const { return origin.y - ascent; }
};

}  // namespace ui
