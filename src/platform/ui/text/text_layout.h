#pragma once

#include <string>
#include <vector>

#include "platform/ui/text/font.h"
#include "platform/ui/views/size.h"

namespace ui {

// Plain text in one font wrapped at word boundaries (inside words too long for a line), shaped
// and measured as text/text_frame lays it out; TextFrame gives the glyphs and the other modes.
class TextLayout {
public:
    // Lines of `text` no wider than `width` (unlimited when width <= 0 or infinite); explicit
    // newlines always break. `maximumLines` > 0 caps the count. No lines for an empty text.
    static std::vector<std::string> lines(const std::string& text, const Font& font, double width, int maximumLines);
    // The size the lines take: the widest line by the lines' heights, rounded up to whole points.
    static Size size(const std::string& text, const Font& font, double width, int maximumLines);
};

}  // namespace ui
