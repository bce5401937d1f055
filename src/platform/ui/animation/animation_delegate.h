#pragma once

#include <memory>

namespace ui {

class Animation;

// Told when an animation added to a layer stops: `finished` is false when it was removed before
// its end. Held weakly by the animation.
class AnimationDelegate {
public:
    virtual ~AnimationDelegate() = default;
    virtual void animationDidStart(const std::shared_ptr<Animation>& /*animation*/) {}
    virtual void animationDidStop(const std::shared_ptr<Animation>& /*animation*/, bool /*finished*/) {}
};

}  // namespace ui
