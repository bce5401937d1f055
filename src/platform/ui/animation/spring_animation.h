#pragma once

#include "platform/ui/animation/basic_animation.h"

namespace ui {

// A basic animation that records the spring it would follow; its values move as a basic
// animation's do (state, not pixels).
class SpringAnimation : public BasicAnimation {
public:
    static std::shared_ptr<SpringAnimation> create(std::string keyPath);
    std::string className() const override { return "SpringAnimation"; }

    double dampingRatio = 1;
    double initialVelocity = 0;

    std::shared_ptr<Animation> copy() const override;

protected:
    explicit SpringAnimation(std::string keyPath) : BasicAnimation(std::move(keyPath)) {}
};

}  // namespace ui
