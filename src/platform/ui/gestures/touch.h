#pragma once

#include <memory>

#include "platform/ui/views/point.h"

namespace ui {

class View;

// One finger on the screen, as a test puts it there: where it is in the window and in which phase.
struct Touch {
    enum class Phase { began, moved, stationary, ended, cancelled };

    Point locationInWindow;
    Point previousLocationInWindow;
    Phase phase = Phase::began;
    int tapCount = 1;
    std::weak_ptr<View> view;

    // The location in `view`'s coordinates (the window's when null).
    Point location(const View* in) const;
    Point previousLocation(const View* in) const;
};

}  // namespace ui
