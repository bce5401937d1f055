#pragma once

#include <string>
#include <vector>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/styled_paragraph.h"
#include "platform/ui/text/text_container.h"

namespace ui {

// Breaks an attributed text into lines for a container: paragraphs at line feeds, lines at word
// (or character) boundaries within the width, a word wider than the line between its characters,
// and the last allowed line cut by the break mode. Spaces where a line wraps hang past its end.
// Lines come out stacked from y = 0, not yet aligned.
class Typesetter {
public:
    // Run fonts scaled by `scale` (shrinking to fit); runs without a font or colour take these.
    Typesetter(const AttributedString& text, const Font& font, const Color& color, double scale = 1);

    struct Result {
        std::vector<TextLine> lines;
        bool truncated = false;  // some text is not shown whole
    };
    Result lay(const TextContainer& container) const;

private:
    struct LineRange {
        size_t start = 0;
        size_t end = 0;
    };
    std::vector<LineRange> wrap(const StyledParagraph& paragraph, double width, LineBreakMode mode) const;
    TextLine lastLine(const StyledParagraph& paragraph, size_t start, double width, const TextContainer& container,
                      bool textFollows, const LineRange& wrapped) const;

    std::string m_text;
    std::vector<TextStyle> m_styles;
    std::vector<StyleRange> m_ranges;
    TextStyle m_default;
};

}  // namespace ui
