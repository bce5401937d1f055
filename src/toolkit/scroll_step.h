#pragma once

#include "platform/ui/views/view_types.h"
#include "toolkit/edge_fade.h"

namespace reelhaven {

// A step that moves the scrolling text to its position, arriving `timeStep` seconds after the
// previous scroll step.
struct ScrollStep {
    struct Position {
        enum class Kind { partial, home, away };
        Kind kind = Kind::home;
        double fraction = 0;  // for `partial`: the share of the way from home to away

        static Position home() { return {Kind::home, 0}; }
        static Position away() { return {Kind::away, 0}; }
        static Position partial(double fraction) { return {Kind::partial, fraction}; }
        bool operator==(const Position&) const = default;
    };

    double timeStep = 0;
    ui::ViewAnimationCurve timingFunction = ui::ViewAnimationCurve::linear;
    Position position;
    EdgeFade edgeFades;

    bool operator==(const ScrollStep&) const = default;
};

}  // namespace reelhaven
