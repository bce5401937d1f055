#pragma once

#include <utility>

#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/point.h"
#include "platform/ui/views/size.h"

namespace ui {

enum class RectEdge { minX, minY, maxX, maxY };

// A rectangle in points. The null rectangle (no rectangle at all) has an infinite origin, as the
// result of intersecting two rectangles that do not meet.
struct Rect {
    Point origin;
    Size size;

    constexpr Rect() = default;
    constexpr Rect(Point o, Size s) : origin(o), size(s) {}
    constexpr Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}

    static Rect null();
    static Rect infinite();

    bool operator==(const Rect&) const = default;

    double minX() const;
    double minY() const;
    double maxX() const;
    double maxY() const;
    double midX() const { return (minX() + maxX()) / 2; }
    double midY() const { return (minY() + maxY()) / 2; }
    double width() const;
    double height() const;
    Point center() const { return {midX(), midY()}; }

    bool isNull() const;
    bool isEmpty() const;
    // Positive width and height, same area.
    Rect standardized() const;
    // The smallest rectangle with whole-point edges that contains this one.
    Rect integral() const;
    Rect insetBy(double dx, double dy) const;
    Rect inset(const EdgeInsets& insets) const;
    Rect offsetBy(double dx, double dy) const;
    Rect intersection(const Rect& other) const;
    Rect unionWith(const Rect& other) const;
    bool contains(Point point) const;
    bool intersects(const Rect& other) const;
    // Cuts a strip `amount` wide off `edge`: returns {slice, remainder}.
    std::pair<Rect, Rect> divided(double amount, RectEdge edge) const;
};

}  // namespace ui
