#include "platform/ui/views/bezier_path.h"

namespace ui {

BezierPath BezierPath::rect(const Rect& r) {
    BezierPath path;
    path.m_elements.push_back({Element::Kind::rect, {}, r, 0});
    return path;
}

BezierPath BezierPath::roundedRect(const Rect& r, double cornerRadius) {
    BezierPath path;
    path.m_elements.push_back({Element::Kind::roundedRect, {}, r, cornerRadius});
    return path;
}

BezierPath BezierPath::ovalIn(const Rect& r) {
    BezierPath path;
    path.m_elements.push_back({Element::Kind::ellipse, {}, r, 0});
    return path;
}

Rect BezierPath::bounds() const {
    Rect result = Rect::null();
    for (const auto& e : m_elements) {
        switch (e.kind) {
            case Element::Kind::move:
            case Element::Kind::line: result = result.unionWith(Rect(e.point, {0, 0})); break;
            case Element::Kind::close: break;
            default: result = result.unionWith(e.rect); break;
        }
    }
    return result;
}

}  // namespace ui
