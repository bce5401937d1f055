#include "platform/ui/animation/animation.h"

#include <algorithm>
#include <cmath>

namespace ui {

const std::any* Animation::value(const std::string& key) const {
    const auto it = m_values.find(key);
    return it == m_values.end() ? nullptr : &it->second;
}

std::optional<AnimationValue> Animation::valueAt(double, const AnimationValue&) const { return std::nullopt; }

double Animation::activeDuration() const {
    const double passes = repeatCount > 0 ? static_cast<double>(repeatCount) : 1.0;
    return duration * passes * (autoreverses ? 2 : 1);
}

double Animation::progressAt(double time) const {
    if (duration <= 0) return 1;
    const double clamped = std::clamp(time, 0.0, activeDuration());
    const double passLength = duration * (autoreverses ? 2 : 1);
    double inPass = std::fmod(clamped, passLength);
    if (clamped >= activeDuration() && clamped > 0) inPass = passLength;  // the end value, not a wrap
    double fraction = inPass / duration;
    if (autoreverses && fraction > 1) fraction = 2 - fraction;
    fraction = std::clamp(fraction, 0.0, 1.0);
    return timingFunction ? timingFunction->evaluate(fraction) : fraction;
}

void Animation::copyBaseInto(Animation& target) const {
    target.duration = duration;
    target.beginTime = beginTime;
    target.repeatCount = repeatCount;
    target.autoreverses = autoreverses;
    target.timingFunction = timingFunction;
    target.fillMode = fillMode;
    target.isRemovedOnCompletion = isRemovedOnCompletion;
    target.delegate = delegate;
    target.completionGroups = completionGroups;
    target.m_values = m_values;
}

}  // namespace ui
