#pragma once

#include <variant>

#include "toolkit/fade_step.h"
#include "toolkit/scroll_step.h"

namespace reelhaven {

// One step of a scrolling label's sequence: a scroll step or a fade step.
using ScrollingLabelStep = std::variant<ScrollStep, FadeStep>;

inline double stepTime(const ScrollingLabelStep& step) {
    return std::visit([](const auto& s) { return s.timeStep; }, step);
}
inline ui::ViewAnimationCurve stepTimingFunction(const ScrollingLabelStep& step) {
    return std::visit([](const auto& s) { return s.timingFunction; }, step);
}
inline EdgeFade stepEdgeFades(const ScrollingLabelStep& step) {
    return std::visit([](const auto& s) { return s.edgeFades; }, step);
}
inline bool isScrollStep(const ScrollingLabelStep& step) { return std::holds_alternative<ScrollStep>(step); }

}  // namespace reelhaven
