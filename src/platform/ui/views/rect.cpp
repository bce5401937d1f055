#include "platform/ui/views/rect.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

Rect Rect::null() {
    const double inf = std::numeric_limits<double>::infinity();
    return Rect(inf, inf, 0, 0);
}

Rect Rect::infinite() {
    const double big = std::numeric_limits<double>::max() / 2;
    return Rect(-big / 2, -big / 2, big, big);
}

double Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
double Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
double Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }
double Rect::width() const { return std::abs(size.width); }
double Rect::height() const { return std::abs(size.height); }

bool Rect::isNull() const { return std::isinf(origin.x) || std::isinf(origin.y); }
bool Rect::isEmpty() const { return isNull() || size.width == 0 || size.height == 0; }

Rect Rect::standardized() const {
    if (isNull()) return *this;
    return Rect(minX(), minY(), width(), height());
}

Rect Rect::integral() const {
    if (isNull()) return *this;
    const Rect r = standardized();
    const double x = std::floor(r.minX());
    const double y = std::floor(r.minY());
    return Rect(x, y, std::ceil(r.maxX()) - x, std::ceil(r.maxY()) - y);
}

Rect Rect::insetBy(double dx, double dy) const {
    if (isNull()) return *this;
    const Rect r = standardized();
    Rect result(r.origin.x + dx, r.origin.y + dy, r.size.width - 2 * dx, r.size.height - 2 * dy);
    if (result.size.width < 0 || result.size.height < 0) return null();
    return result;
}

Rect Rect::inset(const EdgeInsets& insets) const {
    if (isNull()) return *this;
    const Rect r = standardized();
    return Rect(r.origin.x + insets.left, r.origin.y + insets.top, r.size.width - insets.left - insets.right,
                r.size.height - insets.top - insets.bottom);
}

Rect Rect::offsetBy(double dx, double dy) const {
    if (isNull()) return *this;
    return Rect(origin.x + dx, origin.y + dy, size.width, size.height);
}

Rect Rect::intersection(const Rect& other) const {
    if (isNull() || other.isNull()) return null();
    const double x0 = std::max(minX(), other.minX());
    const double y0 = std::max(minY(), other.minY());
    const double x1 = std::min(maxX(), other.maxX());
    const double y1 = std::min(maxY(), other.maxY());
    if (x1 < x0 || y1 < y0) return null();
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

Rect Rect::unionWith(const Rect& other) const {
    if (isNull()) return other;
    if (other.isNull()) return *this;
    const double x0 = std::min(minX(), other.minX());
    const double y0 = std::min(minY(), other.minY());
    return Rect(x0, y0, std::max(maxX(), other.maxX()) - x0, std::max(maxY(), other.maxY()) - y0);
}

bool Rect::contains(Point point) const {
    return !isNull() && point.x >= minX() && point.x < maxX() && point.y >= minY() && point.y < maxY();
}

bool Rect::intersects(const Rect& other) const { return !intersection(other).isNull(); }

std::pair<Rect, Rect> Rect::divided(double amount, RectEdge edge) const {
    if (isNull()) return {null(), null()};
    const Rect r = standardized();
    const bool horizontal = edge == RectEdge::minX || edge == RectEdge::maxX;
    const double extent = horizontal ? r.size.width : r.size.height;
    const double cut = std::clamp(amount, 0.0, extent);
    switch (edge) {
        case RectEdge::minX:
            return {Rect(r.origin.x, r.origin.y, cut, r.size.height),
                    Rect(r.origin.x + cut, r.origin.y, extent - cut, r.size.height)};
        case RectEdge::maxX:
            return {Rect(r.maxX() - cut, r.origin.y, cut, r.size.height),
                    Rect(r.origin.x, r.origin.y, extent - cut, r.size.height)};
        case RectEdge::minY:
            return {Rect(r.origin.x, r.origin.y, r.size.width, cut),
                    Rect(r.origin.x, r.origin.y + cut, r.size.width, extent - cut)};
        case RectEdge::maxY:
            return {Rect(r.origin.x, r.maxY() - cut, r.size.width, cut),
                    Rect(r.origin.x, r.origin.y, r.size.width, extent - cut)};
    }
    return {null(), null()};
}

}  // namespace ui
