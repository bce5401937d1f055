#include "platform/ui/text/text_layout.h"

#include "platform/ui/text/text_frame.h"

namespace ui {

namespace {

TextFrame wrapped(const std::string& text, const Font& font, double width, int maximumLines) {
    TextContainer container;
    container.width = width;
    container.maximumNumberOfLines = maximumLines;
    return TextFrame::create(text, font, container);
}

}  // namespace

std::vector<std::string> TextLayout::lines(const std::string& text, const Font& font, double width, int maximumLines) {
    std::vector<std::string> result;
    const auto frame = wrapped(text, font, width, maximumLines);
    for (const auto& line : frame.lines()) result.push_back(line.text);
    return result;
}

Size TextLayout::size(const std::string& text, const Font& font, double width, int maximumLines) {
    return wrapped(text, font, width, maximumLines).size();
}

}  // namespace ui
