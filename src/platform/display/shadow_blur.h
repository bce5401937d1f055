#pragma once

#include <functional>

#include "platform/display/cairo_surface.h"
#include "platform/ui/views/color.h"

namespace display {

// Paints the shape that `addPath` adds to a cairo context, blurred by `blur` points (a Gaussian
// approximated by three box passes) in `color`, onto `cr` at the shape's place.
void paintBlurredShape(cairo_t* cr, double scale, double blur, const ui::Color& color,
                       const std::function<void(cairo_t*)>& addPath);

}  // namespace display
