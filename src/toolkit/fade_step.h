#pragma once

#include "platform/ui/views/view_types.h"
#include "toolkit/edge_fade.h"

namespace reelhaven {

// A step that only changes which edges are faded. Its `timeStep` counts from the scroll step
// before it when it is 0 or more, and back from the end of the scroll step after it when negative.
struct FadeStep {
    double timeStep = 0;
    ui::ViewAnimationCurve timingFunction = ui::ViewAnimationCurve::linear;
    EdgeFade edgeFades;

    bool operator==(const FadeStep&) const = default;
};

}  // namespace reelhaven
