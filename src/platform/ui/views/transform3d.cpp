#include "platform/ui/views/transform3d.h"

namespace ui {

Transform3D Transform3D::translation(double x, double y, double z) {
    Transform3D t;
    t.m[12] = x;
    t.m[13] = y;
    t.m[14] = z;
    return t;
}

Transform3D Transform3D::scale(double x, double y, double z) {
    Transform3D t;
    t.m[0] = x;
    t.m[5] = y;
    t.m[10] = z;
    return t;
}

Transform3D Transform3D::fromAffine(const AffineTransform& a) {
    Transform3D t;
    t.m[0] = a.a;
    t.m[1] = a.b;
    t.m[4] = a.c;
    t.m[5] = a.d;
    t.m[12] = a.tx;
    t.m[13] = a.ty;
    return t;
}

}  // namespace ui
