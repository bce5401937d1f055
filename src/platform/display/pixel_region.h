#pragma once

#include <vector>

#include "platform/display/cairo_surface.h"

namespace display {

// A rectangle of whole device pixels, [x0, x1) x [y0, y1).
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;

    bool isEmpty() const { return x1 <= x0 || y1 <= y0; }
    long area() const { return isEmpty() ? 0 : static_cast<long>(x1 - x0) * (y1 - y0); }
    bool intersects(const PixelRect& o) const {
        return !isEmpty() && !o.isEmpty() && x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1;
    }
    bool contains(const PixelRect& o) const {
        return o.isEmpty() || (x0 <= o.x0 && y0 <= o.y0 && x1 >= o.x1 && y1 >= o.y1);
    }
    PixelRect intersection(const PixelRect& o) const;
    PixelRect united(const PixelRect& o) const;
    bool operator==(const PixelRect&) const = default;
};

// Where a target's pixels must be painted again: a few rectangles, merged where they overlap
// (or when there grow too many to clip by cheaply), kept inside the target.
class PixelRegion {
public:
    PixelRegion() = default;
    // The whole of a target of `width` x `height`.
    static PixelRegion whole(int width, int height);

    // Adds `rect`, cut to the target of `width` x `height`.
    void add(PixelRect rect, int width, int height);
    void add(const PixelRegion& other, int width, int height);
    bool isEmpty() const { return m_rects.empty(); }
    bool intersects(const PixelRect& rect) const;
    bool contains(const PixelRect& rect) const;
    const std::vector<PixelRect>& rects() const { return m_rects; }
    long area() const;
    // The rows from the first to the last the region touches; empty when it is.
    PixelRect bounds() const;
    // Clips `cr` (any user space) to the region's pixels.
    void clip(cairo_t* cr) const;

private:
    std::vector<PixelRect> m_rects;  // none overlap
};

}  // namespace display
