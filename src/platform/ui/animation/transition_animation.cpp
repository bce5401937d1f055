#include "platform/ui/animation/transition_animation.h"

namespace ui {

std::shared_ptr<TransitionAnimation> TransitionAnimation::create(std::string type) {
    return make<TransitionAnimation>(std::move(type));
}

std::shared_ptr<Animation> TransitionAnimation::copy() const {
    auto result = create(type);
    copyBaseInto(*result);
    result->subtype = subtype;
    return result;
}

}  // namespace ui
