#pragma once

#include "platform/ui/views/point.h"

namespace ui {

// A 2-D affine transform [a b 0; c d 0; tx ty 1], applied to row vectors as on the platform.
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
    static AffineTransform translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static AffineTransform rotation(double radians);

    bool operator==(const AffineTransform&) const = default;
    bool isIdentity() const { return *this == AffineTransform{}; }
    // This transform followed by `other`.
    AffineTransform concatenating(const AffineTransform& other) const;
    AffineTransform scaledBy(double sx, double sy) const { return scale(sx, sy).concatenating(*this); }
    AffineTransform translatedBy(double x, double y) const { return translation(x, y).concatenating(*this); }
    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
};

}  // namespace ui
