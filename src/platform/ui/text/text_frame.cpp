#include "platform/ui/text/text_frame.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/text/typesetter.h"

namespace ui {

namespace {

Typesetter::Result layWithinHeight(const Typesetter& typesetter, TextContainer container) {
    auto result = typesetter.lay(container);
    if (!(container.height > 0) || result.lines.empty()) return result;
    // Lines that would end below the container are left out, and the last one kept is cut as the
    // break mode says, as if the line count had asked for it.
    size_t fitting = 0;
    while (fitting < result.lines.size() &&
           result.lines[fitting].top() + result.lines[fitting].height <= container.height + 1e-9)
        ++fitting;
    fitting = std::max<size_t>(fitting, 1);
    if (fitting == result.lines.size()) return result;
    container.maximumNumberOfLines = static_cast<int>(fitting);
    return typesetter.lay(container);
}

}  // namespace

TextFrame TextFrame::create(const std::string& text, const Font& font, const TextContainer& container) {
    return create(*AttributedString::create(text), font, Color::label(), container);
}

TextFrame TextFrame::create(const AttributedString& text, const Font& font, const Color& color,
                            const TextContainer& container) {
    TextFrame frame;
    if (text.empty()) return frame;
    auto result = layWithinHeight(Typesetter(text, font, color), container);
    const bool widthLimited = container.width > 0 && std::isfinite(container.width);
    const double minimum = container.minimumScaleFactor;
    if (result.truncated && widthLimited && minimum > 0 && minimum < 1) {
        // The largest scale (to within a hundredth) at which everything shows; the smallest when
        // even that cuts the text.
        auto low = layWithinHeight(Typesetter(text, font, color, minimum), container);
        double lowScale = minimum;
        for (double high = 1; !low.truncated && high - lowScale > 0.01;) {
            const double scale = (lowScale + high) / 2;
            auto trial = layWithinHeight(Typesetter(text, font, color, scale), container);
            if (trial.truncated) {
                high = scale;
            } else {
                low = std::move(trial);
                lowScale = scale;
            }
        }
        frame.m_scaleFactor = lowScale;
        result = std::move(low);
    }
    frame.m_lines = std::move(result.lines);
    frame.m_truncated = result.truncated;
    frame.align(container);
    return frame;
}

void TextFrame::align(const TextContainer& container) {
    double widest = 0;
    double height = 0;
    for (const auto& line : m_lines) {
        widest = std::max(widest, line.width);
        height += line.height;
    }
    const bool widthLimited = container.width > 0 && std::isfinite(container.width);
    // A clipped line runs past the edge; the room the text takes ends there.
    const double used = widthLimited ? std::min(widest, container.width) : widest;
    const double room = widthLimited ? container.width : widest;
    for (auto& line : m_lines) {
        auto alignment = container.alignment;
        if (alignment == TextAlignment::natural || alignment == TextAlignment::justified)
            alignment = line.rightToLeft ? TextAlignment::right : TextAlignment::left;
        const double free = std::max(0.0, room - line.width);
        line.origin.x = alignment == TextAlignment::center ? free / 2 : alignment == TextAlignment::right ? free : 0;
    }
    m_size = {std::ceil(used), std::ceil(height)};
}

std::string TextFrame::displayedText() const {
    std::string text;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (i) text += '\n';
        text += m_lines[i].text;
    }
    return text;
}

}  // namespace ui
