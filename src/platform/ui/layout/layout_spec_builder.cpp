#include "platform/ui/layout/layout_spec_builder.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/layout_guide.h"
#include "platform/ui/layout/stack_arrangement.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/views/view.h"

namespace ui {

using layout::Expression;
using layout::Relation;

const LayoutItem* LayoutSpecBuilder::itemOf(const View* view) { return static_cast<const LayoutItem*>(view); }

layout::Strength LayoutSpecBuilder::strengthFor(float priority) {
    if (priority >= LayoutPriority::required) return layout::Strength::required();
    // Each 50 points of priority doubles the weight: a higher priority outweighs many lower ones
    // without the weights spreading so far apart that their sums lose precision.
    const double clamped = std::max(1.0, static_cast<double>(priority));
    return layout::Strength::preferred(std::exp2(clamped / 50));
}

void LayoutSpecBuilder::add(const void* owner, LayoutSpec::Kind kind, int index, Expression expression,
                            Relation relation, float priority, const View* view) {
    LayoutSpec spec;
    spec.key = {owner, kind, index};
    spec.expression = std::move(expression);
    spec.relation = relation;
    spec.priority = priority;
    spec.view = view;
    m_specs.push_back(std::move(spec));
}

void LayoutSpecBuilder::collect(View& view, int parent) {
    const int index = static_cast<int>(m_order.size());
    m_order.push_back(&view);
    m_parents.push_back(parent);
    bool involved = !view.translatesAutoresizingMaskIntoConstraints();
    if (auto stack = dynamic_cast<StackView*>(&view); stack && !stack->arrangedSubviews().empty()) involved = true;
    m_involved.push_back(involved);
    for (const auto& constraint : view.constraints()) {
        for (const auto& item : {constraint->firstItem(), constraint->secondItem()}) {
            if (!item) continue;
            if (auto owner = item->owningViewForLayout()) m_referenced.insert(owner.get());
            if (auto guide = std::dynamic_pointer_cast<LayoutGuide>(item)) {
                if (std::find(m_guides.begin(), m_guides.end(), guide.get()) == m_guides.end())
                    m_guides.push_back(guide.get());
            }
        }
    }
    for (const auto& child : view.subviews()) collect(*child, index);
}

void LayoutSpecBuilder::build(View& root) {
    m_order.clear();
    m_parents.clear();
    m_involved.clear();
    m_referenced.clear();
    m_guides.clear();
    m_views.clear();
    m_specs.clear();
    m_readsSafeArea = false;
    collect(root, -1);
    // A governed view brings its ancestors: frames are relative to them.
    std::vector<char> governed(m_order.size(), 0);
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        if (!m_involved[i] && !m_referenced.count(m_order[i])) continue;
        for (int at = static_cast<int>(i); at >= 0 && !governed[at]; at = m_parents[at]) governed[at] = 1;
    }
    for (std::size_t i = 0; i < m_order.size(); ++i) {
        if (governed[i]) m_views.push_back(m_order[i]);
    }
    if (m_views.empty()) return;
    for (const View* view : m_views) addViewSpecs(*view);
    for (const View* view : m_views) {
        for (const auto& constraint : view->constraints()) addUserSpec(constraint);
    }
    for (const LayoutGuide* guide : m_guides) addGuideSpecs(*guide);
    for (const View* view : m_views) {
        if (auto stack = dynamic_cast<const StackView*>(view)) {
            if (stack->isLayoutMarginsRelativeArrangement()) m_readsSafeArea = true;
            StackArrangement(*stack, m_variablesFor).appendSpecs(m_specs);
        }
    }
}

void LayoutSpecBuilder::addViewSpecs(const View& view) {
    const auto superview = view.superview();
    if (!superview) {
        addRootSpecs(view);
        return;
    }
    if (view.translatesAutoresizingMaskIntoConstraints()) {
        addAutoresizingSpecs(view, *superview);
        return;
    }
    addStaySpecs(view, superview.get());
    addContentSizeSpecs(view);
}

void LayoutSpecBuilder::addRootSpecs(const View& root) {
    const ItemVariables& v = m_variablesFor(itemOf(&root));
    const Size size = root.bounds().size;
    add(&root, LayoutSpec::Kind::rootX, 0, Expression(v.left), Relation::equal, LayoutPriority::required, &root);
    add(&root, LayoutSpec::Kind::rootY, 0, Expression(v.top), Relation::equal, LayoutPriority::required, &root);
    if (root.translatesAutoresizingMaskIntoConstraints()) {
        add(&root, LayoutSpec::Kind::rootWidth, 0, Expression(v.width) - size.width, Relation::equal,
            LayoutPriority::required, &root);
        add(&root, LayoutSpec::Kind::rootHeight, 0, Expression(v.height) - size.height, Relation::equal,
            LayoutPriority::required, &root);
    } else {
        addStaySpecs(root, nullptr);
        addContentSizeSpecs(root);
    }
}

void LayoutSpecBuilder::addAutoresizingSpecs(const View& view, const View& superview) {
    // The mask shares a change of the superview's size equally among the flexible parts, as the
    // frame-based resizing does; relative to the superview's size now, that is linear.
    const ItemVariables& v = m_variablesFor(itemOf(&view));
    const ItemVariables& s = m_variablesFor(itemOf(&superview));
    const std::uint32_t mask = view.autoresizingMask();
    const Rect frame = view.frame();
    const Size outer = superview.bounds().size;
    auto axis = [&](bool low, bool size, bool high, layout::Variable position, layout::Variable extent,
                    layout::Variable outerPosition, layout::Variable outerExtent, double origin, double length,
                    double outerLength, LayoutSpec::Kind positionKind, LayoutSpec::Kind extentKind) {
        const int parts = int(low) + int(size) + int(high);
        const double share = parts ? 1.0 / parts : 0;
        Expression place = Expression(position) - Expression(outerPosition) - origin;
        if (low) place.add(outerExtent, -share) += share * outerLength;
        Expression span = Expression(extent) - length;
        if (size) span.add(outerExtent, -share) += share * outerLength;
        add(&view, positionKind, 0, place, Relation::equal, LayoutPriority::required, &view);
        add(&view, extentKind, 0, span, Relation::equal, LayoutPriority::required, &view);
    };
    axis(mask & flexibleLeftMargin, mask & flexibleWidth, mask & flexibleRightMargin, v.left, v.width, s.left, s.width,
         frame.origin.x, frame.size.width, outer.width, LayoutSpec::Kind::autoresizingX,
         LayoutSpec::Kind::autoresizingWidth);
    axis(mask & flexibleTopMargin, mask & flexibleHeight, mask & flexibleBottomMargin, v.top, v.height, s.top, s.height,
         frame.origin.y, frame.size.height, outer.height, LayoutSpec::Kind::autoresizingY,
         LayoutSpec::Kind::autoresizingHeight);
}

void LayoutSpecBuilder::addStaySpecs(const View& view, const View* superview) {
    // Stays weigh less than any priority: they only keep what no constraint decides where code
    // last put it (relative to the superview, so it moves along).
    const ItemVariables& v = m_variablesFor(itemOf(&view));
    const Rect frame = view.frame();
    Expression x(v.left);
    Expression y(v.top);
    if (superview) {
        const ItemVariables& s = m_variablesFor(itemOf(superview));
        x.add(s.left, -1);
        y.add(s.top, -1);
    }
    const float stay = -1;  // marks a stay for the engine
    add(&view, LayoutSpec::Kind::stayX, 0, x - frame.origin.x, Relation::equal, stay, &view);
    add(&view, LayoutSpec::Kind::stayY, 0, y - frame.origin.y, Relation::equal, stay, &view);
    add(&view, LayoutSpec::Kind::stayWidth, 0, Expression(v.width) - frame.size.width, Relation::equal, stay, &view);
    add(&view, LayoutSpec::Kind::stayHeight, 0, Expression(v.height) - frame.size.height, Relation::equal, stay, &view);
}

void LayoutSpecBuilder::addContentSizeSpecs(const View& view) {
    const Size intrinsic = view.intrinsicContentSize();
    const ItemVariables& v = m_variablesFor(itemOf(&view));
    // A frame has no negative size. Without this a view that has no content size of its own (an
    // empty spacer in a stack) could go below zero to let the stacks around it shrink further, and
    // push its neighbours over each other. Anything required still wins.
    add(&view, LayoutSpec::Kind::nonNegativeWidth, 0, Expression(v.width), Relation::greaterOrEqual,
        nonNegativePriority, &view);
    add(&view, LayoutSpec::Kind::nonNegativeHeight, 0, Expression(v.height), Relation::greaterOrEqual,
        nonNegativePriority, &view);
    // Arranged views of a stack that share a priority give way in their order: the first view
    // stretches and shrinks before the ones after it.
    double bias[2] = {0, 0};
    if (auto stack = std::dynamic_pointer_cast<StackView>(view.superview())) {
        const auto& arranged = stack->arrangedSubviews();
        const auto at = std::find_if(arranged.begin(), arranged.end(), [&](const auto& a) { return a.get() == &view; });
        if (at != arranged.end()) {
            bias[static_cast<int>(stack->axis())] = 0.5 * static_cast<double>(at - arranged.begin()) / arranged.size();
        }
    }
    auto dimension = [&](double length, layout::Variable variable, LayoutAxis axis, LayoutSpec::Kind hugKind,
                         LayoutSpec::Kind compressKind) {
        if (length < 0) return;
        const double b = bias[static_cast<int>(axis)];
        const float hugging = view.contentHuggingPriority(axis);
        const float compression = view.contentCompressionResistancePriority(axis);
        add(&view, hugKind, 0, Expression(variable) - length, Relation::lessOrEqual,
            hugging >= LayoutPriority::required ? hugging : static_cast<float>(hugging + b), &view);
        add(&view, compressKind, 0, Expression(variable) - length, Relation::greaterOrEqual,
            compression >= LayoutPriority::required ? compression : static_cast<float>(compression + b), &view);
    };
    dimension(intrinsic.width, v.width, LayoutAxis::horizontal, LayoutSpec::Kind::huggingWidth,
              LayoutSpec::Kind::compressionWidth);
    dimension(intrinsic.height, v.height, LayoutAxis::vertical, LayoutSpec::Kind::huggingHeight,
              LayoutSpec::Kind::compressionHeight);
}

Expression LayoutSpecBuilder::attributeExpression(const LayoutItem& item, LayoutAttribute attribute) {
    const ItemVariables& v = m_variablesFor(&item);
    if (attribute == LayoutAttribute::leading || attribute == LayoutAttribute::trailing) {
        // Right to left, leading is the right edge and is read leftwards: a constant that moves a
        // leading edge inwards from its container's moves it left.
        if (auto owner = item.owningViewForLayout(); owner && owner->isRightToLeft()) {
            return -1 *
                   v.expression(attribute == LayoutAttribute::leading ? LayoutAttribute::right : LayoutAttribute::left);
        }
    }
    if (attribute == LayoutAttribute::firstBaseline || attribute == LayoutAttribute::lastBaseline) {
        if (auto view = dynamic_cast<const View*>(&item)) {
            const auto baselines = view->layoutBaselines();
            return v.expression(attribute, baselines.first, baselines.second);
        }
    }
    return v.expression(attribute);
}

void LayoutSpecBuilder::addUserSpec(const std::shared_ptr<LayoutConstraint>& constraint) {
    const auto first = constraint->firstItem();
    if (!first || constraint->firstAttribute() == LayoutAttribute::notAnAttribute) return;
    Expression expression = attributeExpression(*first, constraint->firstAttribute());
    const auto second = constraint->secondItem();
    if (second && constraint->secondAttribute() != LayoutAttribute::notAnAttribute) {
        expression.add(attributeExpression(*second, constraint->secondAttribute()), -constraint->multiplier());
    }
    expression -= constraint->constant();
    const Relation relation = constraint->relation() == LayoutRelation::equal             ? Relation::equal
                              : constraint->relation() == LayoutRelation::lessThanOrEqual ? Relation::lessOrEqual
                                                                                          : Relation::greaterOrEqual;
    LayoutSpec spec;
    spec.key = {constraint.get(), LayoutSpec::Kind::user, 0};
    spec.expression = std::move(expression);
    spec.relation = relation;
    spec.priority = constraint->priority();
    spec.constraint = constraint;
    m_specs.push_back(std::move(spec));
}

void LayoutSpecBuilder::addGuideSpecs(const LayoutGuide& guide) {
    const auto owner = guide.owningView();
    if (!owner) return;
    const View& view = *owner;
    const ItemVariables& g = m_variablesFor(&guide);
    const ItemVariables& v = m_variablesFor(itemOf(&view));
    const std::string& name = guide.identifier();
    EdgeInsets insets;
    if (name == "safeAreaLayoutGuide") {
        insets = view.safeAreaInsets();
    } else if (name == "layoutMarginsGuide" || name == "readableContentGuide") {
        insets = view.layoutMarginsFromSafeArea();
    } else {
        return;  // a guide of the user's own: constraints alone place it
    }
    m_readsSafeArea = true;
    constexpr float required = LayoutPriority::required;
    add(&guide, LayoutSpec::Kind::guideY, 0, Expression(g.top) - Expression(v.top) - insets.top, Relation::equal,
        required, &view);
    add(&guide, LayoutSpec::Kind::guideHeight, 0,
        Expression(g.height) - Expression(v.height) + (insets.top + insets.bottom), Relation::equal, required, &view);
    const Expression marginsWidth = Expression(v.width) - (insets.left + insets.right);
    if (name != "readableContentGuide") {
        add(&guide, LayoutSpec::Kind::guideX, 0, Expression(g.left) - Expression(v.left) - insets.left, Relation::equal,
            required, &view);
        add(&guide, LayoutSpec::Kind::guideWidth, 0, Expression(g.width) - marginsWidth, Relation::equal, required,
            &view);
        return;
    }
    // Readable content: the margins' width up to a readable line length, centred in the margins.
    add(&guide, LayoutSpec::Kind::guideX, 0,
        Expression(g.left) + Expression(g.width, 0.5) - Expression(v.left) - Expression(v.width, 0.5) -
            (insets.left - insets.right) / 2,
        Relation::equal, required, &view);
    add(&guide, LayoutSpec::Kind::readableLimit, 0, Expression(g.width) - readableWidth, Relation::lessOrEqual,
        required, &view);
    add(&guide, LayoutSpec::Kind::readableFill, 0, Expression(g.width) - marginsWidth, Relation::lessOrEqual, required,
        &view);
    add(&guide, LayoutSpec::Kind::readableFill, 1, Expression(g.width) - marginsWidth, Relation::equal, 999.9f, &view);
}

}  // namespace ui
