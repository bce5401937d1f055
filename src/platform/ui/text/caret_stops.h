#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui/text/text_line.h"

namespace ui {

// The places a caret may stand on one line of text and where each shows, as the text reads:
// every character's glyphs in visual order, each read from the left or from the right. The caret
// before a character stands at its leading edge (its right one in a run read from the right),
// the caret at the line's end at the trailing edge of its last character. Arrows move to the
// nearest place further left or right on screen, so in text read from the right, Right goes
// back in the text. Value type.
class CaretStops {
public:
    // One user-perceived character and where its glyphs show, from the line's origin.
    struct Cell {
        size_t start = 0;
        size_t end = 0;
        double left = 0;
        double right = 0;
        bool rightToLeft = false;
    };

    // The characters of `line`, laid out from `text`, where its glyphs put them.
    static CaretStops ofLine(const TextLine& line, std::string_view text);
    // `text` on one line, each character a unit wide, in the order the bidirectional algorithm
    // shows it: the same order a layout of it in any font gives, for moving by arrows.
    static CaretStops ofText(std::string_view text);
    // The same, kept for the text last asked on this thread: each arrow key of a field asks it
    // again for the same text, which takes a pass over the whole text to order.
    static const CaretStops& ofTextCached(const std::string& text);

    // Where the caret before byte `offset` shows (a place outside the line: its nearer end).
    double x(size_t offset) const;
    // The place whose caret shows nearest to `x`.
    size_t nearest(double x) const;
    // The character shown at `x` (the first or last one beyond the ends): its start; none on an
    // empty line.
    std::optional<size_t> characterAt(double x) const;
    // The place next on screen to the left or to the right of the caret before `offset`; the same
    // place at the line's edge.
    size_t leftOf(size_t offset) const;
    size_t rightOf(size_t offset) const;
    // The stretches of the line, left to right, that show the characters from `from` to `to`: more
    // than one where the text changes direction inside.
    std::vector<std::pair<double, double>> spans(size_t from, size_t to) const;

    bool isRightToLeft() const { return m_rightToLeft; }
    double width() const { return m_width; }
    const std::vector<Cell>& cells() const { return m_cells; }

private:
    CaretStops() = default;
    // Orders the cells and works out every place's x.
    void finish();
    size_t neighbour(size_t offset, int side) const;

    std::vector<Cell> m_cells;                        // left to right
    std::vector<size_t> m_logical;                    // the cells' indexes in the text's order
    std::vector<std::pair<double, size_t>> m_places;  // (x, offset), by x
    size_t m_start = 0, m_end = 0;                    // the line's bytes of the text
    bool m_rightToLeft = false;                       // the paragraph's direction
    double m_width = 0;
};

}  // namespace ui
