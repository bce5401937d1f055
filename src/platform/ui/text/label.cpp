#include "platform/ui/text/label.h"

#include "platform/ui/views/graphics_context.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<Label> Label::create(const Rect& frame) { return make<Label>(frame); }

Label::Label(const Rect& frame, std::shared_ptr<Layer> layer) : View(frame, std::move(layer)) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

void Label::setText(std::optional<std::string> text) {
    checkMainThread();
    // A clock sets its text many times a second; the same plain text again changes nothing, so
    // it neither lays out nor paints anything again.
    if (m_plainText && text == m_text) return;
    m_plainText = true;
    m_text = std::move(text);
    m_attributedText = m_text ? AttributedString::create(*m_text) : nullptr;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setAttributedText(std::shared_ptr<AttributedString> text) {
    checkMainThread();
    m_plainText = false;
    m_attributedText = std::move(text);
    m_text = m_attributedText ? std::optional<std::string>(m_attributedText->string()) : std::nullopt;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setFont(const Font& font) {
    checkMainThread();
    if (font == m_font) return;
    m_font = font;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setTextColor(const Color& color) {
    checkMainThread();
    m_textColor = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment) {
    checkMainThread();
    m_textAlignment = alignment;
    setNeedsDisplay();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    checkMainThread();
    if (mode == m_lineBreakMode) return;
    m_lineBreakMode = mode;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines) {
    checkMainThread();
    if (lines == m_numberOfLines) return;
    m_numberOfLines = lines;
    invalidateIntrinsicContentSize();
    setNeedsDisplay();
}

void Label::setPreferredMaxLayoutWidth(double width) {
    checkMainThread();
    if (width == m_preferredMaxLayoutWidth) return;
    m_preferredMaxLayoutWidth = width;
    invalidateIntrinsicContentSize();
}

TextFrame Label::frameFor(const TextContainer& container, const Color& color) const {
    const auto text = attributedText();
    if (!text || text->empty()) return {};
    const Font font = this->font();
    for (auto it = m_frames.rbegin(); it != m_frames.rend(); ++it) {
        if (it->text == text && it->font == font && it->color == color && it->container == container) return it->frame;
    }
    auto frame = TextFrame::create(*text, font, color, container);
    constexpr size_t kept = 4;
    if (m_frames.size() == kept) m_frames.erase(m_frames.begin());
    m_frames.push_back({text, font, color, container, frame});
    return frame;
}

TextContainer Label::measuringContainer(double width) const {
    TextContainer container;
    // One line measures the whole text, however narrow the room offered.
    container.width = numberOfLines() == 1 ? 0 : width;
    container.maximumNumberOfLines = numberOfLines();
    container.lineBreakMode = lineBreakMode();
    return container;
}

Size Label::sizeThatFits(Size size) const { return frameFor(measuringContainer(size.width), textColor()).size(); }

Size Label::intrinsicContentSize() const {
    m_intrinsicWidth = numberOfLines() == 1            ? 0
                       : m_preferredMaxLayoutWidth > 0 ? m_preferredMaxLayoutWidth
                                                       : bounds().width();
    if (numberOfLines() == 1 || m_preferredMaxLayoutWidth > 0) return sizeThatFits({m_intrinsicWidth, 0});
    // A wrapping label asks for its whole unwrapped width, as tall as its lines are at the width
    // it has now: asked only for that width, a label once laid out narrow (a reused row) would
    // never grow again where there is room.
    const Size natural = sizeThatFits({0, 0});
    if (m_intrinsicWidth <= 0 || m_intrinsicWidth >= natural.width) return natural;
    return {natural.width, sizeThatFits({m_intrinsicWidth, 0}).height};
}

void Label::draw(const Rect& rect) {
    View::draw(rect);
    if (auto context = GraphicsContext::current()) context->drawText(textRect());
}

void Label::layoutSubviews() {
    View::layoutSubviews();
    if (numberOfLines() != 1 && m_preferredMaxLayoutWidth == 0 && bounds().width() != m_intrinsicWidth)
        invalidateIntrinsicContentSize();
}

TextFrame Label::textFrame() const {
    const Rect box = bounds();
    TextContainer container;
    container.width = box.width();
    container.height = box.height();
    container.maximumNumberOfLines = numberOfLines();
    container.lineBreakMode = lineBreakMode();
    // Natural alignment follows the interface's direction, whatever the text's own.
    container.alignment =
        textAlignment() == TextAlignment::natural && isRightToLeft() ? TextAlignment::right : textAlignment();
    if (adjustsFontSizeToFitWidth()) {
        const double pointSize = font().pointSize();
        container.minimumScaleFactor = minimumScaleFactor() > 0                 ? minimumScaleFactor()
                                       : minimumFontSize() > 0 && pointSize > 0 ? minimumFontSize() / pointSize
                                                                                : 0;
    }
    const auto highlighted = highlightedTextColor();
    return frameFor(container, isHighlighted() && highlighted ? *highlighted : textColor());
}

Rect Label::textRect() const {
    const Rect box = bounds();
    const double height = textFrame().size().height;
    return {box.minX(), box.minY() + (box.height() - height) / 2, box.width(), height};
}

std::pair<double, double> Label::layoutBaselines() const {
    const TextFrame frame = frameFor(measuringContainer(bounds().width()), textColor());
    if (frame.lines().empty()) return {-1, -1};
    return {frame.lines().front().origin.y, frame.lines().back().origin.y};
}

}  // namespace ui
