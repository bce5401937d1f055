#include "platform/ui/text/text_editing.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/ui/text/caret_stops.h"
#include "platform/ui/text/text_boundaries.h"

namespace ui {

TextEditing::TextEditing(std::string text, TextRange selection) : m_text(std::move(text)) {
    const size_t from = std::min(selection.location, m_text.size());
    const size_t to = std::min(from + std::min(selection.length, m_text.size()), m_text.size());
    // A place inside a character stands for the character's start; a selection's end for its end.
    m_anchor = from == 0 ? 0 : previousBoundary(from + 1);
    m_caret = to <= from ? m_anchor : to == m_text.size() ? to : nextBoundary(to - 1);
    if (selection.backward) std::swap(m_anchor, m_caret);
}

TextRange TextEditing::selection() const {
    const size_t from = std::min(m_anchor, m_caret);
    return {from, std::max(m_anchor, m_caret) - from, m_caret < m_anchor};
}

std::string TextEditing::selectedText() const {
    const auto range = selection();
    return m_text.substr(range.location, range.length);
}

size_t TextEditing::previousBoundary(size_t offset) const {
    return text_boundaries::graphemeBreakBefore(m_text, offset);
}

size_t TextEditing::nextBoundary(size_t offset) const { return text_boundaries::graphemeBreakAfter(m_text, offset); }

void TextEditing::replace(size_t from, size_t to, std::string_view with) {
    m_text.replace(from, to - from, with);
    m_anchor = m_caret = from + with.size();
}

void TextEditing::insert(std::string_view typed) {
    const auto range = selection();
    replace(range.location, range.end(), typed);
}

void TextEditing::deleteBackward() {
    const auto range = selection();
    if (range.length > 0) return replace(range.location, range.end(), {});
    if (m_caret == 0) return;
    // The boundaries before the edit: a combining mark left alone would join the character before.
    replace(previousBoundary(m_caret), m_caret, {});
}

void TextEditing::deleteForward() {
    const auto range = selection();
    if (range.length > 0) return replace(range.location, range.end(), {});
    if (m_caret == m_text.size()) return;
    replace(m_caret, nextBoundary(m_caret), {});
}

void TextEditing::moveTo(size_t offset, Extend extend) {
    m_caret = offset;
    if (extend == Extend::no) m_anchor = offset;
}

void TextEditing::moveBackward(Extend extend) {
    const auto range = selection();
    if (extend == Extend::no && range.length > 0) return moveTo(range.location, extend);
    moveTo(previousBoundary(m_caret), extend);
}

void TextEditing::moveForward(Extend extend) {
    const auto range = selection();
    if (extend == Extend::no && range.length > 0) return moveTo(range.end(), extend);
    moveTo(nextBoundary(m_caret), extend);
}

void TextEditing::moveToStart(Extend extend) { moveTo(0, extend); }

void TextEditing::moveToEnd(Extend extend) { moveTo(m_text.size(), extend); }

void TextEditing::moveAside(int side, Extend extend) {
    const auto& stops = CaretStops::ofTextCached(m_text);
    const auto range = selection();
    if (extend == Extend::no && range.length > 0) {
        const bool startIsLeft = stops.x(range.location) <= stops.x(range.end());
        return moveTo((side < 0) == startIsLeft ? range.location : range.end(), extend);
    }
    moveTo(side < 0 ? stops.leftOf(m_caret) : stops.rightOf(m_caret), extend);
}

void TextEditing::moveLeft(Extend extend) { moveAside(-1, extend); }

void TextEditing::moveRight(Extend extend) { moveAside(1, extend); }

void TextEditing::selectWord(size_t offset) {
    size_t from = 0;
    for (const size_t boundary : text_boundaries::wordBreaks(m_text)) {
        if (boundary > offset || boundary == m_text.size()) {
            m_anchor = from;
            m_caret = boundary;
            return;
        }
        from = boundary;
    }
    m_anchor = m_caret = m_text.size();
}

std::string TextEditing::singleLine(std::string_view text) {
    std::string line;
    line.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        if (byte < 0x20 || byte == 0x7F) {
            line += ' ';
        } else if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
            // A control character of the C1 set (U+0080 to U+009F, the next line character among them).
            line += ' ';
            ++i;
        } else if (byte == 0xE2 && i + 2 < text.size() && text[i + 1] == '\x80' &&
                   (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            // The line and paragraph separators.
            line += ' ';
            i += 2;
        } else {
            line += text[i];
        }
    }
    return line;
}

void TextEditing::selectAll() {
    m_anchor = 0;
    m_caret = m_text.size();
}

}  // namespace ui
