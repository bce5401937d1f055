#include "platform/graphics/color.h"

#include <algorithm>

namespace gfx {

Color Color::clamped() const {
    auto clamp = [](double v) { return std::clamp(v, 0.0, 1.0); };
    return {clamp(red), clamp(green), clamp(blue), clamp(alpha)};
}

}  // namespace gfx
