#include "platform/display/pixel_region.h"

#include <algorithm>

namespace display {

namespace {
// More rectangles than this cost more to clip by than their bounds would to paint.
constexpr size_t kMostRects = 8;
}  // namespace

PixelRect PixelRect::intersection(const PixelRect& o) const {
    PixelRect r{std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    return r.isEmpty() ? PixelRect{} : r;
}

PixelRect PixelRect::united(const PixelRect& o) const {
    if (isEmpty()) return o;
    if (o.isEmpty()) return *this;
    return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)};
}

PixelRegion PixelRegion::whole(int width, int height) {
    PixelRegion region;
    region.add(PixelRect{0, 0, width, height}, width, height);
    return region;
}

void PixelRegion::add(PixelRect rect, int width, int height) {
    rect = rect.intersection({0, 0, width, height});
    if (rect.isEmpty()) return;
    // Whatever overlaps the new rectangle merges into it, until nothing does.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = m_rects.begin(); it != m_rects.end(); ++it) {
            if (!it->intersects(rect)) continue;
            rect = rect.united(*it);
            m_rects.erase(it);
            merged = true;
            break;
        }
    }
    m_rects.push_back(rect);
    if (m_rects.size() > kMostRects) {
        const PixelRect all = bounds();
        m_rects.assign(1, all);
    }
}

void PixelRegion::add(const PixelRegion& other, int width, int height) {
    for (const auto& rect : other.m_rects) add(rect, width, height);
}

bool PixelRegion::intersects(const PixelRect& rect) const {
    return std::any_of(m_rects.begin(), m_rects.end(), [&](const PixelRect& r) { return r.intersects(rect); });
}

bool PixelRegion::contains(const PixelRect& rect) const {
    if (rect.isEmpty()) return true;
    // Rectangles of the region never overlap, so the covered area adds up.
    long covered = 0;
    for (const auto& r : m_rects) covered += r.intersection(rect).area();
    return covered == rect.area();
}

long PixelRegion::area() const {
    long total = 0;
    for (const auto& r : m_rects) total += r.area();
    return total;
}

PixelRect PixelRegion::bounds() const {
    PixelRect all;
    for (const auto& r : m_rects) all = all.united(r);
    return all;
}

void PixelRegion::clip(cairo_t* cr) const {
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    for (const auto& r : m_rects) cairo_rectangle(cr, r.x0, r.y0, r.x1 - r.x0, r.y1 - r.y0);
    cairo_clip(cr);
    cairo_set_matrix(cr, &matrix);
}

}  // namespace display
