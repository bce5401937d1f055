#pragma once

#include <string>
#include <vector>

#include "platform/ui/font.h"
#include "platform/ui/size.h"

namespace ui {

// Breaks text into lines at spaces (and inside words too long for a line) within a width, and
// measures it with a font's real metrics.
class TextLayout {
public:
    // Lines of `text` no wider than `width` (unlimited when width <= 0 or infinite); explicit
    // newlines always break. `maximumLines` > 0 caps the count.
    static std::vector<std::string> lines(const std::string& text, const Font& font, double width, int maximumLines);
    // The size the lines take: the widest line by the line height times the number of lines,
    // rounded up to whole points.
    static Size size(const std::string& text, const Font& font, double width, int maximumLines);
};

}  // namespace ui
