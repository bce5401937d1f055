#pragma once

#include <vector>

#include "platform/ui/views/rect.h"

namespace ui {

// A path recorded as its elements: moves, lines, closes, and whole rectangles, rounded
// rectangles and ellipses. Value type.
class BezierPath {
public:
    struct Element {
        enum class Kind { move, line, close, rect, roundedRect, ellipse };
        Kind kind = Kind::move;
        Point point;
        Rect rect;
        double cornerRadius = 0;
        bool operator==(const Element&) const = default;
    };

    static BezierPath rect(const Rect& rect);
    static BezierPath roundedRect(const Rect& rect, double cornerRadius);
    static BezierPath ovalIn(const Rect& rect);

    void moveTo(Point point) { m_elements.push_back({Element::Kind::move, point, {}, 0}); }
    void lineTo(Point point) { m_elements.push_back({Element::Kind::line, point, {}, 0}); }
    void close() { m_elements.push_back({Element::Kind::close, {}, {}, 0}); }

    const std::vector<Element>& elements() const { return m_elements; }
    bool isEmpty() const { return m_elements.empty(); }
    // The smallest rectangle holding every point and shape of the path.
    Rect bounds() const;
    bool operator==(const BezierPath&) const = default;

private:
    std::vector<Element> m_elements;
};

}  // namespace ui
