#pragma once

#include "platform/ui/animation/animation.h"

namespace ui {

// From one value to another (either may be absent: the model value takes its place).
class BasicAnimation : public PropertyAnimation {
public:
    static std::shared_ptr<BasicAnimation> create(std::string keyPath);
    std::string className() const override { return "BasicAnimation"; }

    std::optional<AnimationValue> fromValue;
    std::optional<AnimationValue> toValue;

    std::shared_ptr<Animation> copy() const override;
    std::optional<AnimationValue> valueAt(double progress, const AnimationValue& model) const override;

protected:
    explicit BasicAnimation(std::string keyPath) : PropertyAnimation(std::move(keyPath)) {}
    void copyBasicInto(BasicAnimation& target) const;
};

}  // namespace ui
