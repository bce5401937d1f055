#include "platform/ui/animation/basic_animation.h"

namespace ui {

std::shared_ptr<BasicAnimation> BasicAnimation::create(std::string keyPath) {
    return make<BasicAnimation>(std::move(keyPath));
}

std::shared_ptr<Animation> BasicAnimation::copy() const {
    auto result = create(keyPath());
    copyBasicInto(*result);
    return result;
}

void BasicAnimation::copyBasicInto(BasicAnimation& target) const {
    copyBaseInto(target);
    target.setKeyPath(keyPath());
    target.fromValue = fromValue;
    target.toValue = toValue;
}

std::optional<AnimationValue> BasicAnimation::valueAt(double progress, const AnimationValue& model) const {
    return interpolate(fromValue.value_or(model), toValue.value_or(model), progress);
}

}  // namespace ui
