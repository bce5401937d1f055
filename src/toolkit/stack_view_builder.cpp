#include "toolkit/stack_view_builder.h"

namespace reelhaven {

std::shared_ptr<ui::StackView> makeStackView(ui::LayoutAxis axis, ui::StackViewDistribution distribution,
                                             ui::StackViewAlignment alignment, double spacing,
                                             const std::vector<std::shared_ptr<ui::View>>& arrangedSubviews) {
    auto stack = ui::StackView::create();
    stack->setTranslatesAutoresizingMaskIntoConstraints(false);
    stack->setAxis(axis);
    stack->setDistribution(distribution);
    stack->setAlignment(alignment);
    stack->setSpacing(spacing);
    for (const auto& view : arrangedSubviews) stack->addArrangedSubview(view);
    return stack;
}

}  // namespace reelhaven
