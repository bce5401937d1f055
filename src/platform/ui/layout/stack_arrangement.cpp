#include "platform/ui/layout/stack_arrangement.h"

#include <algorithm>

#include "platform/ui/layout/stack_view.h"

namespace ui {

using layout::Expression;
using layout::Relation;

namespace {
constexpr float required = LayoutPriority::required;
}

StackArrangement::Span StackArrangement::along(const View& view) const {
    const ItemVariables& v = m_variablesFor(LayoutSpecBuilder::itemOf(&view));
    return m_stack.axis() == LayoutAxis::horizontal ? Span{v.left, v.width} : Span{v.top, v.height};
}

StackArrangement::Span StackArrangement::across(const View& view) const {
    const ItemVariables& v = m_variablesFor(LayoutSpecBuilder::itemOf(&view));
    return m_stack.axis() == LayoutAxis::horizontal ? Span{v.top, v.height} : Span{v.left, v.width};
}

void StackArrangement::add(Expression expression, Relation relation, float priority) {
    LayoutSpec spec;
    spec.key = {&m_stack, LayoutSpec::Kind::stack, m_index++};
    spec.expression = std::move(expression);
    spec.relation = relation;
    spec.priority = priority;
    spec.view = &m_stack;
    m_specs->push_back(std::move(spec));
}

void StackArrangement::appendSpecs(std::vector<LayoutSpec>& specs) {
    m_specs = &specs;
    const bool horizontal = m_stack.axis() == LayoutAxis::horizontal;
    const EdgeInsets insets =
        m_stack.isLayoutMarginsRelativeArrangement() ? m_stack.layoutMarginsFromSafeArea() : EdgeInsets{};
    const Span stackAlong = along(m_stack);
    const Span stackAcross = across(m_stack);
    const double startInset = horizontal ? insets.left : insets.top;
    const double endInset = horizontal ? insets.right : insets.bottom;
    const double crossStartInset = horizontal ? insets.top : insets.left;
    const double crossEndInset = horizontal ? insets.bottom : insets.right;
    const Expression start = Expression(stackAlong.start) + startInset;
    const Expression end = stackAlong.end() - endInset;
    const Expression crossStart = Expression(stackAcross.start) + crossStartInset;
    const Expression crossEnd = stackAcross.end() - crossEndInset;

    std::vector<const View*> visible;
    for (const auto& view : m_stack.arrangedSubviews()) {
        if (!view->isHidden()) visible.push_back(view.get());
    }
    // The gap after each view in reading order; a row read right to left is placed from the right.
    m_gaps.clear();
    for (std::size_t i = 0; i + 1 < visible.size(); ++i) m_gaps.push_back(m_stack.spacingAfter(*visible[i]));
    if (horizontal && m_stack.isRightToLeft()) {
        std::reverse(visible.begin(), visible.end());
        std::reverse(m_gaps.begin(), m_gaps.end());
    }
    double spacingTotal = 0;
    for (const double gap : m_gaps) spacingTotal += gap;
    distribute(visible, start, end, spacingTotal);

    // Hidden views collapse where they stand in the order and keep the cross alignment.
    const View* previousVisible = nullptr;
    const View* first = visible.empty() ? nullptr : visible.front();
    for (const auto& view : m_stack.arrangedSubviews()) {
        if (!view->isHidden()) {
            previousVisible = view.get();
        } else {
            const Span span = along(*view);
            add(Expression(span.length), Relation::equal, hiddenPriority);
            add(Expression(span.start) - (previousVisible ? along(*previousVisible).end() : start), Relation::equal,
                required);
        }
        align(*view, first, crossStart, crossEnd);
    }
    // A stack nothing else sizes fits its content.
    add(Expression(stackAlong.length), Relation::equal, fittingPriority);
    add(Expression(stackAcross.length), Relation::equal, fittingPriority);
}

void StackArrangement::distribute(const std::vector<const View*>& visible, Expression start, Expression end,
                                  double spacingTotal) {
    if (visible.empty()) return;
    const StackViewDistribution distribution = m_stack.distribution();
    const bool flexibleGaps =
        distribution == StackViewDistribution::equalSpacing || distribution == StackViewDistribution::equalCentering;
    add(Expression(along(*visible.front()).start) - start, Relation::equal, required);
    add(along(*visible.back()).end() - end, Relation::equal, required);
    for (std::size_t i = 0; i + 1 < visible.size(); ++i) {
        const double spacing = m_gaps[i];
        const Expression gap = Expression(along(*visible[i + 1]).start) - along(*visible[i]).end();
        add(gap - spacing, flexibleGaps ? Relation::greaterOrEqual : Relation::equal, required);
    }
    const Span first = along(*visible.front());
    switch (distribution) {
        case StackViewDistribution::fill: break;
        case StackViewDistribution::fillEqually:
            for (std::size_t i = 1; i < visible.size(); ++i) {
                add(Expression(along(*visible[i]).length) - Expression(first.length), Relation::equal, required);
            }
            break;
        case StackViewDistribution::fillProportionally: {
            // Lengths in proportion to the views' own lengths along the axis.
            const bool horizontal = m_stack.axis() == LayoutAxis::horizontal;
            double total = 0;
            std::vector<double> own;
            for (const View* view : visible) {
                const Size intrinsic = view->intrinsicContentSize();
                own.push_back(std::max(0.0, horizontal ? intrinsic.width : intrinsic.height));
                total += own.back();
            }
            if (total <= 0) break;
            const Expression available = end - start - spacingTotal;
            for (std::size_t i = 0; i < visible.size(); ++i) {
                add(Expression(along(*visible[i]).length) - available * (own[i] / total), Relation::equal,
                    LayoutPriority::required - 1);
            }
            break;
        }
        case StackViewDistribution::equalSpacing:
            if (visible.size() < 3) break;
            for (std::size_t i = 1; i + 1 < visible.size(); ++i) {
                const Expression gap = Expression(along(*visible[i + 1]).start) - along(*visible[i]).end();
                const Expression firstGap = Expression(along(*visible[1]).start) - first.end();
                add(gap - firstGap, Relation::equal, required);
            }
            break;
        case StackViewDistribution::equalCentering:
            if (visible.size() < 3) break;
            for (std::size_t i = 1; i + 1 < visible.size(); ++i) {
                const Expression step = along(*visible[i + 1]).center() - along(*visible[i]).center();
                const Expression firstStep = along(*visible[1]).center() - first.center();
                add(step - firstStep, Relation::equal, equalCenteringPriority);
            }
            break;
    }
}

void StackArrangement::align(const View& view, const View* first, Expression crossStart, Expression crossEnd) {
    const Span span = across(view);
    StackViewAlignment alignment = m_stack.alignment();
    // A column read right to left keeps its leading views at its right edge.
    if (m_stack.axis() == LayoutAxis::vertical && m_stack.isRightToLeft()) {
        if (alignment == StackViewAlignment::leading) {
            alignment = StackViewAlignment::trailing;
        } else if (alignment == StackViewAlignment::trailing) {
            alignment = StackViewAlignment::leading;
        }
    }
    const bool baseline =
        alignment == StackViewAlignment::firstBaseline || alignment == StackViewAlignment::lastBaseline;
    // Baselines line up along a row only; a column fills instead.
    if (baseline && m_stack.axis() == LayoutAxis::vertical) alignment = StackViewAlignment::fill;
    switch (alignment) {
        case StackViewAlignment::fill:
            add(Expression(span.start) - crossStart, Relation::equal, required);
            add(span.end() - crossEnd, Relation::equal, required);
            return;
        case StackViewAlignment::leading:
            add(Expression(span.start) - crossStart, Relation::equal, required);
            add(span.end() - crossEnd, Relation::lessOrEqual, required);
            return;
        case StackViewAlignment::trailing:
            add(span.end() - crossEnd, Relation::equal, required);
            add(Expression(span.start) - crossStart, Relation::greaterOrEqual, required);
            return;
        case StackViewAlignment::center:
            add(span.center() - (crossStart + crossEnd) * 0.5, Relation::equal, required);
            add(Expression(span.start) - crossStart, Relation::greaterOrEqual, required);
            return;
        case StackViewAlignment::firstBaseline:
        case StackViewAlignment::lastBaseline: {
            add(Expression(span.start) - crossStart, Relation::greaterOrEqual, required);
            add(span.end() - crossEnd, Relation::lessOrEqual, required);
            // The row rises until its tallest reach touches the top.
            add(Expression(span.start) - crossStart, Relation::equal, fittingPriority);
            if (!first || first == &view) return;
            const LayoutAttribute attribute = alignment == StackViewAlignment::firstBaseline
                                                  ? LayoutAttribute::firstBaseline
                                                  : LayoutAttribute::lastBaseline;
            auto baselineOf = [&](const View& v) {
                const auto offsets = v.layoutBaselines();
                return m_variablesFor(LayoutSpecBuilder::itemOf(&v))
                    .expression(attribute, offsets.first, offsets.second);
            };
            add(baselineOf(view) - baselineOf(*first), Relation::equal, required);
            return;
        }
    }
}

}  // namespace ui
