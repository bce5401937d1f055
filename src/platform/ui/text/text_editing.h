#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ui {

// A stretch of UTF-8 text, in bytes; an empty one is the caret's place. `backward`: a selection
// whose caret is at its start (Shift moved back), the end Shift moves next.
struct TextRange {
    size_t location = 0;
    size_t length = 0;
    bool backward = false;
    size_t end() const { return location + length; }
    // The part of it inside a text of `size` bytes.
    TextRange clamped(size_t size) const {
        const size_t from = location < size ? location : size;
        return {from, length < size - from ? length : size - from, backward};
    }
    bool operator==(const TextRange&) const = default;
};

// A keyboard's edits of a text around its selection. The caret and the selection's ends move by
// user-perceived characters (a letter with its accents, an emoji sequence stays whole), and a
// selection made with Shift keeps the end it started from (its anchor). Value type.
class TextEditing {
public:
    enum class Extend { no, yes };

    // The selection is clamped to the text and widened to whole characters.
    TextEditing(std::string text, TextRange selection);

    const std::string& text() const { return m_text; }
    TextRange selection() const;
    std::string selectedText() const;

    // Replaces the selection with `typed`; the caret follows it.
    void insert(std::string_view typed);
    // The selection goes; without one, the character before (Backspace) or after (Delete) the caret.
    void deleteBackward();
    void deleteForward();
    // Without Shift a selection collapses to the end moved towards; with it the selection grows
    // or shrinks from its anchor.
    void moveBackward(Extend extend);
    void moveForward(Extend extend);
    void moveToStart(Extend extend);
    void moveToEnd(Extend extend);
    // Left and Right as the text shows: to the next place on screen that way, whichever way the
    // text reads there (back in the text where it reads from the right). Without Shift a
    // selection collapses to its end on that side.
    void moveLeft(Extend extend);
    void moveRight(Extend extend);
    void selectAll();
    // The word around the character that starts at `offset` (or the spaces or punctuation there);
    // the last one at the text's end.
    void selectWord(size_t offset);

    // `text` made fit for a field of one line: line breaks (a CR LF pair as one), tabs and the
    // other control characters become spaces.
    static std::string singleLine(std::string_view text);

private:
    size_t previousBoundary(size_t offset) const;
    size_t nextBoundary(size_t offset) const;
    void moveTo(size_t offset, Extend extend);
    void moveAside(int side, Extend extend);
    void replace(size_t from, size_t to, std::string_view with);

    std::string m_text;
    size_t m_anchor = 0;
    size_t m_caret = 0;
};

}  // namespace ui
