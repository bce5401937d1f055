#pragma once

#include <memory>
#include <vector>

#include "platform/ui/layout/stack_view.h"

namespace reelhaven {

// A zero-frame stack view using constraints (no autoresizing-mask constraints) with the axis,
// distribution, alignment and spacing set and the views arranged in list order.
std::shared_ptr<ui::StackView> makeStackView(ui::LayoutAxis axis, ui::StackViewDistribution distribution,
                                             ui::StackViewAlignment alignment, double spacing,
                                             const std::vector<std::shared_ptr<ui::View>>& arrangedSubviews);

}  // namespace reelhaven
