#pragma once

#include <memory>

#include "platform/ui/animation/basic_animation.h"

namespace reelhaven {

// The animation that brings a scrolling label's mask colours to their rest values; its class
// lets the label, as delegate, recognise it when it stops.
class GradientSetupAnimation : public ui::BasicAnimation {
public:
    static std::shared_ptr<GradientSetupAnimation> create(std::string keyPath);
    std::string className() const override { return "GradientSetupAnimation"; }
    std::shared_ptr<ui::Animation> copy() const override;

protected:
    explicit GradientSetupAnimation(std::string keyPath) : ui::BasicAnimation(std::move(keyPath)) {}
};

}  // namespace reelhaven
