#include "platform/ui/text/field_text_layout.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/text_input.h"

namespace ui {

namespace {

// Room kept for the caret where an edited line scrolls: at either end it shows whole.
constexpr double caretRoom = 2;

}  // namespace

FieldTextLayout FieldTextLayout::line(const std::string& text, const Font& font, const Color& color, const Rect& room,
                                      bool rightToLeft, Editing editing, double scroll) {
    FieldTextLayout layout;
    layout.m_room = room;
    layout.m_font = font;
    layout.m_rightToLeft = rightToLeft;
    TextContainer container;
    if (editing == Editing::no) {
        container.width = room.size.width;
        container.maximumNumberOfLines = 1;
        container.lineBreakMode = LineBreakMode::byTruncatingTail;
        container.alignment = rightToLeft ? TextAlignment::right : TextAlignment::left;
    }
    layout.measure(text, font, color, container);
    const double top = room.origin.y + (room.size.height - layout.frame().size().height) / 2;
    const auto& lines = layout.frame().lines();
    const double width = lines.empty() ? 0 : lines.front().width;
    double left = room.origin.x;
    if (editing == Editing::yes) {
        layout.m_scrollable = width + caretRoom > room.size.width;
        if (!layout.m_scrollable) {
            if (rightToLeft) left = room.maxX() - width;
        } else {
            layout.m_scroll = std::clamp(scroll, 0.0, width + caretRoom - room.size.width);
            // Unscrolled, the line shows its start: its left end, or its right end when it reads
            // from the right.
            left = lines.front().rightToLeft ? room.maxX() - width + layout.m_scroll : room.origin.x - layout.m_scroll;
        }
    }
    layout.m_origin = {left, top};
    return layout;
}

FieldTextLayout FieldTextLayout::wrapped(const std::string& text, const Font& font, const Color& color,
                                         const Rect& room, TextContainer container, bool rightToLeft, Editing editing,
                                         double scroll) {
    FieldTextLayout layout;
    layout.m_room = room;
    layout.m_font = font;
    layout.m_rightToLeft = rightToLeft;
    layout.m_vertical = true;
    // Edited, no line is left out: those past the room scroll into it.
    if (editing == Editing::yes) container.maximumNumberOfLines = 0;
    layout.measure(text, font, color, container);
    const double height = layout.frame().size().height;
    layout.m_scrollable = editing == Editing::yes && height > room.size.height;
    if (layout.m_scrollable) layout.m_scroll = std::clamp(scroll, 0.0, height - room.size.height);
    layout.m_origin = {room.origin.x, room.origin.y - layout.m_scroll};
    return layout;
}

Rect FieldTextLayout::clip() const {
    if (m_vertical) return m_room;
    return {m_room.origin.x, m_room.origin.y - m_room.size.height, m_room.size.width, 3 * m_room.size.height};
}

double FieldTextLayout::scrollShowing(TextRange selection) const {
    const size_t caret = selection.backward ? selection.location : selection.end();
    const size_t anchor = selection.backward ? selection.end() : selection.location;
    return scrollShowing(caret, scrollShowing(anchor, m_scroll));
}

FieldTextLayout FieldTextLayout::shownBy(TextInput& input, const std::string& shown, bool editing, const Font& font,
                                         const Color& color, const Rect& room, bool rightToLeft) {
    if (!editing) {
        input.setTextScroll(0);
        return line(shown, font, color, room, rightToLeft, Editing::no);
    }
    auto layout = line(shown, font, color, room, rightToLeft, Editing::yes, input.textScroll());
    const double scroll = layout.scrollShowing(input.selectedTextRange());
    input.setTextScroll(scroll);
    if (scroll == layout.scroll()) return layout;
    return line(shown, font, color, room, rightToLeft, Editing::yes, scroll);
}

void FieldTextLayout::measure(const std::string& text, const Font& font, const Color& color,
                              const TextContainer& container) {
    // A field is laid out again for each paint, click and key, and its text is shaped whole: the
    // texts laid out last are kept (a window shows few fields at once) until the text, its look
    // or its room changes, so a key in a long line costs what it moves, not the whole line.
    struct Entry {
        Font font;
        Color color;
        TextContainer container;
        std::shared_ptr<const Measured> measured;
    };
    constexpr size_t kept = 8;
    thread_local std::vector<Entry> entries;  // the last used last
    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (it->measured->text == text && it->font == font && it->color == color && it->container == container) {
            m_measured = it->measured;
            std::rotate(it, std::next(it), entries.end());
            return;
        }
    }
    auto made = std::make_shared<Measured>();
    made->text = text;
    made->frame = TextFrame::create(*AttributedString::create(text), font, color, container);
    for (const auto& line : made->frame.lines()) made->stops.push_back(CaretStops::ofLine(line, made->text));
    m_measured = made;
    if (entries.size() == kept) entries.erase(entries.begin());
    entries.push_back({font, color, container, std::move(made)});
}

double FieldTextLayout::scrollShowing(size_t offset, double scroll) const {
    if (!m_scrollable || stops().empty()) return 0;
    if (m_vertical) {
        // The caret's line whole inside the room.
        const auto& line = frame().lines()[lineOf(offset).value_or(0)];
        const double room = m_room.size.height;
        if (line.top() + line.height - scroll > room) scroll = line.top() + line.height - room;
        if (line.top() - scroll < 0) scroll = line.top();
        return std::clamp(scroll, 0.0, frame().size().height - room);
    }
    const auto& line = frame().lines().front();
    const double x = stops().front().x(offset);
    // How far the caret lies from the line's start, against the room the field shows.
    const double along = line.rightToLeft ? line.width - x : x;
    const double room = m_room.size.width;
    if (along - scroll > room - caretRoom / 2) scroll = along - room + caretRoom / 2;
    if (along - scroll < caretRoom / 2) scroll = along - caretRoom / 2;
    return std::clamp(scroll, 0.0, line.width + caretRoom - room);
}

std::optional<size_t> FieldTextLayout::lineOf(size_t offset) const {
    const auto& lines = frame().lines();
    if (lines.empty()) return std::nullopt;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (offset < lines[i].sourceEnd) return i;
    }
    return lines.size() - 1;
}

size_t FieldTextLayout::lineAt(double y) const {
    const auto& lines = frame().lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (y < lines[i].top() + lines[i].height) return i;
    }
    return lines.empty() ? 0 : lines.size() - 1;
}

double FieldTextLayout::lineLeft(size_t line) const { return m_origin.x + frame().lines()[line].origin.x; }

Rect FieldTextLayout::caret(size_t offset, double width) const {
    const auto index = lineOf(offset);
    const double maximum = std::max(m_room.origin.x, m_room.maxX() - width);
    if (!index || m_measured->text.empty() || m_placeholder) {
        const double height = std::ceil(m_font.lineHeight());
        const double top = m_scrollable || frame().lines().size() <= 1 ? m_room.midY() - height / 2 : m_room.origin.y;
        return {m_rightToLeft ? maximum : m_room.origin.x, top, width, height};
    }
    const auto& line = frame().lines()[*index];
    const double x = lineLeft(*index) + stops()[*index].x(offset) - width / 2;
    return {std::clamp(x, m_room.origin.x, maximum), m_origin.y + line.top(), width, line.ascent + line.descent};
}

std::vector<Rect> FieldTextLayout::selection(TextRange range) const {
    std::vector<Rect> rects;
    if (range.length == 0 || m_placeholder) return rects;
    const auto& lines = frame().lines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto& line = lines[i];
        if (line.sourceEnd <= range.location || line.sourceStart >= range.end()) continue;
        // A line scrolled out of the room shows none of it.
        if (m_vertical &&
            (m_origin.y + line.top() + line.height <= m_room.minY() || m_origin.y + line.top() >= m_room.maxY()))
            continue;
        for (const auto& [from, to] : stops()[i].spans(range.location, range.end())) {
            // What scrolled out of the room is not shown.
            const double left = std::max(lineLeft(i) + from, m_room.origin.x);
            const double right = std::min(lineLeft(i) + to, m_room.maxX());
            if (right > left)
                rects.emplace_back(left, m_origin.y + line.top(), right - left, line.ascent + line.descent);
        }
    }
    return rects;
}

size_t FieldTextLayout::offsetAt(Point point) const {
    if (stops().empty() || m_placeholder) return 0;
    const size_t index = lineAt(point.y - m_origin.y);
    return stops()[index].nearest(point.x - lineLeft(index));
}

TextRange FieldTextLayout::wordAt(Point point) const {
    if (stops().empty() || m_placeholder) return {};
    const size_t index = lineAt(point.y - m_origin.y);
    const auto character = stops()[index].characterAt(point.x - lineLeft(index));
    TextEditing editing(m_measured->text, {character.value_or(m_measured->text.size()), 0});
    editing.selectWord(character.value_or(m_measured->text.size()));
    return editing.selection();
}

}  // namespace ui
