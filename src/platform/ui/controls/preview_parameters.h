#pragma once

#include <optional>

#include "platform/ui/views/bezier_path.h"
#include "platform/ui/views/color.h"

namespace ui {

// How the system draws a lifted view (a context-menu preview, a drag image): the background
// behind it and the outline that is kept, in the view's own coordinates. None means the
// system's default.
struct PreviewParameters {
    std::optional<Color> backgroundColor;
    std::optional<BezierPath> visiblePath;
};

}  // namespace ui
