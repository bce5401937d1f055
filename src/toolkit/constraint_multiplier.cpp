#include "toolkit/constraint_multiplier.h"

namespace reelhaven {

std::shared_ptr<ui::LayoutConstraint> withMultiplier(const ui::LayoutConstraint& constraint, double multiplier) {
    return ui::LayoutConstraint::create(constraint.firstItem(), constraint.firstAttribute(), constraint.relation(),
                                        constraint.secondItem(), constraint.secondAttribute(), multiplier,
                                        constraint.constant());
}

}  // namespace reelhaven
