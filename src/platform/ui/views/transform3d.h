#pragma once

#include <array>

#include "platform/ui/views/affine_transform.h"

namespace ui {

// A 4x4 layer transform (row-vector convention); only what layers and replicators use.
struct Transform3D {
    std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    static Transform3D identity() { return {}; }
    static Transform3D translation(double x, double y, double z);
    static Transform3D scale(double x, double y, double z);
    static Transform3D fromAffine(const AffineTransform& t);

    bool operator==(const Transform3D&) const = default;
    bool isIdentity() const { return *this == Transform3D{}; }
    AffineTransform affine() const { return {m[0], m[1], m[4], m[5], m[12], m[13]}; }
    double translationX() const { return m[12]; }
    double translationY() const { return m[13]; }
};

}  // namespace ui
