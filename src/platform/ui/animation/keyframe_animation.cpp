#include "platform/ui/animation/keyframe_animation.h"

#include <cmath>

namespace ui {

std::shared_ptr<KeyframeAnimation> KeyframeAnimation::create(std::string keyPath) {
    return make<KeyframeAnimation>(std::move(keyPath));
}

std::shared_ptr<Animation> KeyframeAnimation::copy() const {
    auto result = create(keyPath());
    copyBaseInto(*result);
    result->values = values;
    result->keyTimes = keyTimes;
    result->timingFunctions = timingFunctions;
    result->calculationMode = calculationMode;
    return result;
}

std::optional<AnimationValue> KeyframeAnimation::valueAt(double progress, const AnimationValue&) const {
    if (values.empty()) return std::nullopt;
    const size_t count = values.size();
    if (count == 1) return values.front();
    auto keyTime = [&](size_t i) -> double {
        if (keyTimes.size() == count) return keyTimes[i];
        return static_cast<double>(i) / static_cast<double>(count - 1);
    };
    if (std::isnan(progress) || progress <= keyTime(0)) return values.front();
    for (size_t i = 0; i + 1 < count; ++i) {
        const double start = keyTime(i);
        const double end = keyTime(i + 1);
        if (progress > end) continue;
        if (calculationMode == CalculationMode::discrete) return values[i];
        const double length = end - start;
        if (!(length > 0)) return values[i + 1];
        double fraction = (progress - start) / length;
        if (i < timingFunctions.size()) fraction = timingFunctions[i].evaluate(fraction);
        return interpolate(values[i], values[i + 1], fraction);
    }
    return values.back();
}

}  // namespace ui
