#include "platform/ui/text/text_field.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/gestures/touch.h"
#include "platform/ui/text/text_frame.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<TextField> TextField::create(const Rect& frame) { return make<TextField>(frame); }

void TextField::type(const std::string& text) { replaceInput(text, {text.size(), 0}); }

void TextField::replaceInput(const std::string& text, TextRange selection) {
    checkMainThread();
    if (!isEnabled()) return;
    beginEditing();
    m_text = text;
    setSelectedTextRange(selection);
    invalidateIntrinsicContentSize();
    sendActions(editingChanged);
}

TextRange TextField::selectedTextRange() const { return m_selection.clamped(inputText().size()); }

void TextField::setSelectedTextRange(TextRange range) {
    checkMainThread();
    m_selection = TextEditing(inputText(), range).selection();
}

void TextField::beginEditing() {
    checkMainThread();
    if (m_editing || !isEnabled()) return;
    m_editing = true;
    becomeFirstResponder();
    if (auto d = delegate()) d->didBeginEditing(*this);
    sendActions(editingDidBegin);
}

void TextField::pressReturn() {
    checkMainThread();
    auto d = delegate();
    if (d && !d->shouldReturn(*this)) return;
    sendActions(editingDidEndOnExit);
    endEditing();
}

void TextField::endEditing() { resignFirstResponder(); }

bool TextField::resignFirstResponder() {
    checkMainThread();
    Control::resignFirstResponder();
    if (!m_editing) return true;
    m_editing = false;
    if (auto d = delegate()) d->didEndEditing(*this);
    sendActions(editingDidEnd);
    return true;
}

bool TextField::beginTracking(const Touch& touch) {
    beginEditing();
    if (!m_editing) return false;
    // A secure field shows dots, not the characters: its caret keeps to the end.
    if (m_secure) {
        m_selection = {inputText().size(), 0};
        return false;
    }
    m_mouse.press(*this, layout(FieldTextLayout::Editing::yes), touch.location(this), touch.tapCount);
    return true;
}

bool TextField::continueTracking(const Touch& touch) {
    m_mouse.drag(*this, layout(FieldTextLayout::Editing::yes), touch.location(this));
    return true;
}

void TextField::didMoveToWindow() {
    Control::didMoveToWindow();
    // A field taken off the screen (its sheet went) no longer takes the keyboard's keys.
    if (!window()) endEditing();
}

namespace {

// Room between the border and the text, horizontally and vertically: a rounded field sits
// 7 points around its text (34 points tall at 17 points), a drawn border 2, no border none.
Size padding(TextFieldBorderStyle style) {
    switch (style) {
        case TextFieldBorderStyle::roundedRect: return {7, 7};
        case TextFieldBorderStyle::line:
        case TextFieldBorderStyle::bezel: return {2, 2};
        case TextFieldBorderStyle::none: break;
    }
    return {0, 0};
}

}  // namespace

void TextField::setText(std::optional<std::string> text) {
    checkMainThread();
    m_text = std::move(text);
    m_selection = {inputText().size(), 0};
    invalidateIntrinsicContentSize();
}

void TextField::setPlaceholder(std::string placeholder) {
    checkMainThread();
    m_placeholder = std::move(placeholder);
    invalidateIntrinsicContentSize();
}

void TextField::setFont(const Font& font) {
    checkMainThread();
    m_font = font;
    invalidateIntrinsicContentSize();
}

void TextField::setSecureTextEntry(bool secure) {
    checkMainThread();
    m_secure = secure;
    invalidateIntrinsicContentSize();
}

void TextField::setBorderStyle(TextFieldBorderStyle style) {
    checkMainThread();
    m_borderStyle = style;
    invalidateIntrinsicContentSize();
}

std::string TextField::displayedText() const {
    if (!m_text || m_text->empty()) return m_placeholder;
    if (!m_secure) return *m_text;
    std::string dots;
    for (const char c : *m_text) {
        // One dot per character: count the bytes that start one.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) dots += "\xE2\x80\xA2";
    }
    return dots;
}

void TextField::setLineLimit(int lines) {
    checkMainThread();
    m_lineLimit = std::max(1, lines);
    invalidateIntrinsicContentSize();
}

Rect TextField::textRect() const {
    const Size inset = padding(m_borderStyle);
    const Rect box = bounds();
    return Rect(box.origin.x + inset.width, box.origin.y + inset.height,
                std::max(0.0, box.size.width - 2 * inset.width), std::max(0.0, box.size.height - 2 * inset.height));
}

TextContainer TextField::wrappingContainer(double width) const {
    TextContainer container;
    container.width = width;
    container.maximumNumberOfLines = m_lineLimit;
    // An address has no spaces to break at: long words break where they must.
    container.lineBreakMode = LineBreakMode::byCharWrapping;
    return container;
}

FieldTextLayout TextField::layout(FieldTextLayout::Editing editing) {
    const bool empty = !m_text || m_text->empty();
    const auto color = empty ? Color::placeholderText() : Color::label();
    const bool rightToLeft = isRightToLeft();
    if (m_lineLimit > 1) {
        auto container = textContainer();
        container.alignment = rightToLeft ? TextAlignment::right : TextAlignment::left;
        auto wrapped = FieldTextLayout::wrapped(displayedText(), m_font, color, textRect(), container, rightToLeft,
                                                empty ? FieldTextLayout::Editing::no : editing, textScroll());
        return empty ? wrapped.asPlaceholder() : wrapped;
    }
    if (empty)
        return FieldTextLayout::line(displayedText(), m_font, color, textRect(), rightToLeft,
                                     FieldTextLayout::Editing::no)
            .asPlaceholder();
    return FieldTextLayout::line(displayedText(), m_font, color, textRect(), rightToLeft, editing, textScroll());
}

FieldTextLayout TextField::shownLayout() {
    if (!m_editing || m_secure || !m_text || m_text->empty()) {
        setTextScroll(0);
        return layout(m_editing ? FieldTextLayout::Editing::yes : FieldTextLayout::Editing::no);
    }
    auto shown = layout(FieldTextLayout::Editing::yes);
    const double scroll = shown.scrollShowing(selectedTextRange());
    if (scroll == shown.scroll()) return shown;
    setTextScroll(scroll);
    return layout(FieldTextLayout::Editing::yes);
}

TextContainer TextField::textContainer() const {
    return m_lineLimit > 1 ? wrappingContainer(std::max(1.0, textRect().size.width)) : TextContainer{};
}

Size TextField::sizeThatFits(Size size) const {
    const Size inset = padding(m_borderStyle);
    const double lineHeight = std::ceil(m_font.lineHeight());
    if (m_lineLimit == 1 || !(size.width > 2 * inset.width)) {
        const auto line = TextFrame::create(displayedText(), m_font, TextContainer{}).size();
        return {line.width + 2 * inset.width, std::max(line.height, lineHeight) + 2 * inset.height};
    }
    const auto text =
        TextFrame::create(displayedText(), m_font, wrappingContainer(size.width - 2 * inset.width)).size();
    return {size.width, std::max(text.height, lineHeight) + 2 * inset.height};
}

Size TextField::intrinsicContentSize() const {
    if (m_lineLimit == 1) return sizeThatFits({});
    m_intrinsicWidth = bounds().width();
    return sizeThatFits({m_intrinsicWidth, 0});
}

void TextField::layoutSubviews() {
    Control::layoutSubviews();
    // The height follows the width the layout gave: wrap again at the new one.
    if (m_lineLimit > 1 && bounds().width() != m_intrinsicWidth) invalidateIntrinsicContentSize();
}

}  // namespace ui
