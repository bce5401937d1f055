#include "platform/ui/animation/spring_animation.h"

namespace ui {

std::shared_ptr<SpringAnimation> SpringAnimation::create(std::string keyPath) {
    return make<SpringAnimation>(std::move(keyPath));
}

std::shared_ptr<Animation> SpringAnimation::copy() const {
    auto result = create(keyPath());
    copyBasicInto(*result);
    result->dampingRatio = dampingRatio;
    result->initialVelocity = initialVelocity;
    return result;
}

}  // namespace ui
