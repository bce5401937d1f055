#pragma once

#include <vector>

#include "platform/ui/layout/layout_spec.h"
#include "platform/ui/layout/layout_spec_builder.h"

namespace ui {

class StackView;

// The constraints a stack view makes for its arranged views: along the axis by its distribution
// and spacing (hidden views collapse and take no spacing), across it by its alignment, and a
// faint pull that lets a stack no one sizes fit its content.
class StackArrangement {
public:
    // Below every priority a screen uses, so it only sizes a stack that nothing else sizes.
    static constexpr float fittingPriority = 49;
    // Equal centring gives way to compression resistance: views that do not fit keep the minimum
    // spacing and shrink, but it outweighs hugging.
    static constexpr float equalCenteringPriority = 500;
    // Collapsing a hidden view gives way to a size the user requires of it.
    static constexpr float hiddenPriority = 999;

    StackArrangement(const StackView& stack, const LayoutSpecBuilder::VariablesFor& variablesFor)
        : m_stack(stack), m_variablesFor(variablesFor) {}

    void appendSpecs(std::vector<LayoutSpec>& specs);

private:
    // One axis of an item: where it starts and how long it is.
    struct Span {
        layout::Variable start;
        layout::Variable length;
        layout::Expression end() const { return layout::Expression(start) + layout::Expression(length); }
        layout::Expression center() const { return layout::Expression(start) + layout::Expression(length, 0.5); }
    };
    Span along(const View& view) const;
    Span across(const View& view) const;
    void distribute(const std::vector<const View*>& visible, layout::Expression containerStart,
                    layout::Expression containerEnd, double spacingTotal);
    void align(const View& view, const View* first, layout::Expression crossStart, layout::Expression crossEnd);
    void add(layout::Expression expression, layout::Relation relation, float priority);

    const StackView& m_stack;
    const LayoutSpecBuilder::VariablesFor& m_variablesFor;
    std::vector<LayoutSpec>* m_specs = nullptr;
    int m_index = 0;
    // The spacing between each two neighbours of the visible views, in the order they are placed.
    std::vector<double> m_gaps;
};

}  // namespace ui
