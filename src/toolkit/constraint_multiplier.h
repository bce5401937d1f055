#pragma once

#include <memory>

#include "platform/ui/layout/layout_constraint.h"

namespace reelhaven {

// A new constraint with the receiver's items, attributes, relation and constant and the given
// multiplier; priority, identifier and activity are not copied (default priority, inactive).
std::shared_ptr<ui::LayoutConstraint> withMultiplier(const ui::LayoutConstraint& constraint, double multiplier);

}  // namespace reelhaven
