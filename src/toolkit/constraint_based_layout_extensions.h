#pragma once

#include <memory>

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/view.h"

namespace reelhaven {

// The constraint making `view`'s attribute equal to the same attribute of `receiver`
// (multiplier 1, constant 0; first item the view, second the receiver).
inline std::shared_ptr<ui::LayoutConstraint> equallyRelatedConstraint(const std::shared_ptr<ui::View>& receiver,
                                                                      const std::shared_ptr<ui::View>& view,
                                                                      ui::LayoutAttribute attribute) {
    return ui::LayoutConstraint::create(view, attribute, ui::LayoutRelation::equal, receiver, attribute, 1.0, 0.0);
}

}  // namespace reelhaven
