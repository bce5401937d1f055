#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/text/caret_stops.h"
#include "platform/ui/text/text_editing.h"
#include "platform/ui/text/text_frame.h"
#include "platform/ui/views/rect.h"

namespace ui {

class TextInput;

// How a field shows its text in the room it has, and where in that text its caret, its selection
// and the mouse's places lie, from the glyphs as laid out and in the text's own direction. A
// field of one line shows its text cut with "…" at its end while it is not edited; while edited,
// whole on one line, scrolled sideways by as much as it takes to keep the caret in view. Text
// that fits keeps to the field's leading end. Every rect is in the room's space. Value type.
class FieldTextLayout {
public:
    enum class Editing { no, yes };

    // One line of `text` in `room`. `scroll`: how far an edited line wider than the room is moved
    // from showing its start (its left end when it reads from the left, else its right end).
    static FieldTextLayout line(const std::string& text, const Font& font, const Color& color, const Rect& room,
                                bool rightToLeft, Editing editing, double scroll = 0);
    // `text` wrapped in `container` from the top left of `room` (a field of several lines).
    // While edited, every line is laid out, and when they are taller than the room they are
    // scrolled up by `scroll`.
    static FieldTextLayout wrapped(const std::string& text, const Font& font, const Color& color, const Rect& room,
                                   TextContainer container, bool rightToLeft, Editing editing, double scroll = 0);
    // The line `input` shows in `room` now: `shown` (its text, or a placeholder when empty); while
    // it is edited, scrolled from where it last was by as little as shows the caret, and that
    // scroll kept in the input.
    static FieldTextLayout shownBy(TextInput& input, const std::string& shown, bool editing, const Font& font,
                                   const Color& color, const Rect& room, bool rightToLeft);

    // The text shown is a placeholder for an empty one: the caret stands at the leading end, and
    // every place is the start.
    FieldTextLayout& asPlaceholder() {
        m_placeholder = true;
        return *this;
    }

    const TextFrame& frame() const { return m_measured->frame; }
    // Where the frame's top left lies; the text is cut off outside the room.
    Point origin() const { return m_origin; }
    const Rect& room() const { return m_room; }
    double scroll() const { return m_scroll; }
    bool isScrollable() const { return m_scrollable; }
    // The scroll that shows the caret before `offset` whole, moved from `scroll` as little as it can.
    double scrollShowing(size_t offset, double scroll) const;
    // The scroll that shows the whole selection where it fits, else its moving end (the caret).
    double scrollShowing(TextRange selection) const;
    // Whether the lines scroll up and down (a field of several lines) rather than sideways.
    bool scrollsVertically() const { return m_vertical; }
    // Where the text may show: the room, with the room's whole height above and below a line
    // that scrolls sideways (no glyph of it is cut off at the top or the bottom).
    Rect clip() const;

    // The caret before `offset`, `width` wide and a line tall, kept inside the room; at the field's
    // leading end when there is no text.
    Rect caret(size_t offset, double width = 2) const;
    // The stretches the selection covers: one per line it touches, more where the direction changes.
    std::vector<Rect> selection(TextRange range) const;
    // The place between characters nearest to `point`.
    size_t offsetAt(Point point) const;
    // The word (or the spaces between words) shown at `point`.
    TextRange wordAt(Point point) const;

private:
    // The text laid out, and the caret stops of each of its lines.
    struct Measured {
        std::string text;
        TextFrame frame;
        std::vector<CaretStops> stops;  // one per line
    };

    FieldTextLayout() = default;
    void measure(const std::string& text, const Font& font, const Color& color, const TextContainer& container);
    const std::vector<CaretStops>& stops() const { return m_measured->stops; }
    // The line `offset` is on, by its index; none without lines.
    std::optional<size_t> lineOf(size_t offset) const;
    size_t lineAt(double y) const;
    double lineLeft(size_t line) const;

    std::shared_ptr<const Measured> m_measured;
    Rect m_room;
    Point m_origin;
    Font m_font = Font::systemFont(17);
    bool m_rightToLeft = false;  // the field's leading end is its right
    bool m_scrollable = false;
    bool m_vertical = false;
    bool m_placeholder = false;
    double m_scroll = 0;
};

}  // namespace ui
