#pragma once

#include "platform/display/cairo_surface.h"
#include "platform/ui/views/rect.h"

namespace display {

// Blurs, in place, what the target of `cr` already shows under `rect` (user space, inside the
// current clip), as a blur material does with what lies behind it, by about `blur` points. The
// backdrop is read at a fraction of its resolution and blurred there, which costs little and
// looks the same once scaled back up. Only image targets have pixels to read; on others nothing
// happens.
void blurBackdrop(cairo_t* cr, const ui::Rect& rect, double blur, double scale);

}  // namespace display
