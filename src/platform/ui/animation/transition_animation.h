#pragma once

#include "platform/ui/animation/animation.h"

namespace ui {

// A transition of a whole layer's content ("fade" for a cross-dissolve); it sets no property.
class TransitionAnimation : public Animation {
public:
    static std::shared_ptr<TransitionAnimation> create(std::string type);
    std::string className() const override { return "TransitionAnimation"; }

    std::string type;
    std::string subtype;

    std::shared_ptr<Animation> copy() const override;

protected:
    explicit TransitionAnimation(std::string t) : type(std::move(t)) {}
};

}  // namespace ui
