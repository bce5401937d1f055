#pragma once

#include <string>

#include "platform/display/cairo_surface.h"

namespace display {

// The symbols no icon of the theme shows, drawn with paths: the skip buttons' circular arrow
// with its number of seconds inside ("gobackward.15", "goforward.30"). A white shape on
// transparency, as the theme's symbolic icons are, `pixels` square. Null for any other symbol.
SurfacePtr drawSymbolGlyph(const std::string& symbol, int pixels);

}  // namespace display
