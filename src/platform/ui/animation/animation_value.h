#pragma once

#include <variant>
#include <vector>

#include "platform/ui/views/color.h"
#include "platform/ui/views/rect.h"
#include "platform/ui/views/transform3d.h"

namespace ui {

// A value an animation moves a layer property through.
using AnimationValue = std::variant<std::monostate, double, Point, Size, Rect, Color, std::vector<Color>,
                                    std::vector<double>, Transform3D>;

// The value `fraction` of the way from `from` to `to`; values of different kinds (or lists of
// different lengths) jump to `to` at fraction 1 and stay `from` before.
AnimationValue interpolate(const AnimationValue& from, const AnimationValue& to, double fraction);

}  // namespace ui
