#include "toolkit/gradient_setup_animation.h"

namespace reelhaven {

std::shared_ptr<GradientSetupAnimation> GradientSetupAnimation::create(std::string keyPath) {
    return ui::make<GradientSetupAnimation>(std::move(keyPath));
}

std::shared_ptr<ui::Animation> GradientSetupAnimation::copy() const {
    auto result = create(keyPath());
    copyBasicInto(*result);
    return result;
}

}  // namespace reelhaven
