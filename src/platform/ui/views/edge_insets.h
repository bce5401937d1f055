#pragma once

namespace ui {

// Insets from each edge of a rectangle, in points.
struct EdgeInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;

    bool operator==(const EdgeInsets&) const = default;
};

}  // namespace ui
