#pragma once

#include "platform/ui/animation/animation.h"

namespace ui {

// Moves a property through a list of values at given key times (fractions 0...1 of the
// duration), each segment shaped by its own timing function.
class KeyframeAnimation : public PropertyAnimation {
public:
    enum class CalculationMode { linear, discrete };

    static std::shared_ptr<KeyframeAnimation> create(std::string keyPath);
    std::string className() const override { return "KeyframeAnimation"; }

    std::vector<AnimationValue> values;
    // Empty: the values are spread evenly.
    std::vector<float> keyTimes;
    // One per segment; missing entries are linear.
    std::vector<MediaTimingFunction> timingFunctions;
    CalculationMode calculationMode = CalculationMode::linear;

    std::shared_ptr<Animation> copy() const override;
    std::optional<AnimationValue> valueAt(double progress, const AnimationValue& model) const override;

protected:
    explicit KeyframeAnimation(std::string keyPath) : PropertyAnimation(std::move(keyPath)) {}
};

}  // namespace ui
