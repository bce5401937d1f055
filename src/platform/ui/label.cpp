#include "platform/ui/label.h"

#include <cmath>

#include "platform/ui/text_layout.h"

namespace ui {

std::shared_ptr<Label> Label::create(const Rect& frame) { return make<Label>(frame); }

Label::Label(const Rect& frame, std::shared_ptr<Layer> layer) : View(frame, std::move(layer)) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

void Label::setText(std::optional<std::string> text) {
    m_text = std::move(text);
    m_attributedText = m_text ? AttributedString::create(*m_text) : nullptr;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setAttributedText(std::shared_ptr<AttributedString> text) {
    m_attributedText = std::move(text);
    m_text = m_attributedText ? std::optional<std::string>(m_attributedText->string()) : std::nullopt;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

Size Label::sizeThatFits(Size size) const {
    const auto attributed = attributedText();
    if (!attributed || attributed->empty()) return {};
    if (numberOfLines() == 1) {
        const Size line = attributed->singleLineSize(font());
        return {std::ceil(line.width), std::ceil(line.height)};
    }
    return TextLayout::size(attributed->string(), font(), size.width, numberOfLines());
}

Size Label::intrinsicContentSize() const {
    const double width = numberOfLines() == 1 ? 0 : m_preferredMaxLayoutWidth;
    return sizeThatFits({width, 0});
}

}  // namespace ui
