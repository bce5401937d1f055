#pragma once

#include <string>
#include <vector>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/text_container.h"
#include "platform/ui/text/text_line.h"
#include "platform/ui/views/size.h"

namespace ui {

// Text laid out in a container, complete enough to paint: each line's shown text, baseline origin
// and metrics, and its shaped glyph runs with their fonts and colours. Lines are aligned within
// the container's width (within the widest line when the width is unlimited); y grows downwards
// from the top of the first line. Value type.
class TextFrame {
public:
    // `font` and `color` serve the runs that carry none.
    static TextFrame create(const AttributedString& text, const Font& font, const Color& color,
                            const TextContainer& container);
    // Plain text in one font.
    static TextFrame create(const std::string& text, const Font& font, const TextContainer& container);

    const std::vector<TextLine>& lines() const& { return m_lines; }
    // A temporary frame hands its lines over, so looping over a fresh frame's lines is safe.
    std::vector<TextLine> lines() && { return std::move(m_lines); }
    // The room the lines take: the widest line by the lines' heights, rounded up to whole points.
    Size size() const { return m_size; }
    // True when some of the text is not shown whole: lines left out, cut with "…" or at the edge.
    bool isTruncated() const { return m_truncated; }
    // The factor the fonts were shrunk by to fit (1: not shrunk).
    double scaleFactor() const { return m_scaleFactor; }
    // The shown lines' texts joined by line feeds.
    std::string displayedText() const;

    // No text.
    TextFrame() = default;

private:
    void align(const TextContainer& container);

    std::vector<TextLine> m_lines;
    Size m_size;
    bool m_truncated = false;
    double m_scaleFactor = 1;
};

}  // namespace ui
