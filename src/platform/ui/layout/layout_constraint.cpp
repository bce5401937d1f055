#include "platform/ui/layout/layout_constraint.h"

#include <algorithm>
#include <cstdio>

#include "platform/base/fatal.h"
#include "platform/ui/layout/layout_engine.h"
#include "platform/ui/layout/visual_format_parser.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

std::string layoutAttributeName(LayoutAttribute attribute) {
    switch (attribute) {
        case LayoutAttribute::notAnAttribute: return "notAnAttribute";
        case LayoutAttribute::left: return "left";
        case LayoutAttribute::right: return "right";
        case LayoutAttribute::top: return "top";
        case LayoutAttribute::bottom: return "bottom";
        case LayoutAttribute::leading: return "leading";
        case LayoutAttribute::trailing: return "trailing";
        case LayoutAttribute::width: return "width";
        case LayoutAttribute::height: return "height";
        case LayoutAttribute::centerX: return "centerX";
        case LayoutAttribute::centerY: return "centerY";
        case LayoutAttribute::lastBaseline: return "lastBaseline";
        case LayoutAttribute::firstBaseline: return "firstBaseline";
    }
    return "";
}

std::shared_ptr<LayoutConstraint> LayoutConstraint::create(const std::shared_ptr<LayoutItem>& firstItem,
                                                           LayoutAttribute firstAttribute, LayoutRelation relation,
                                                           const std::shared_ptr<LayoutItem>& secondItem,
                                                           LayoutAttribute secondAttribute, double multiplier,
                                                           double constant) {
    auto constraint = std::shared_ptr<LayoutConstraint>(new LayoutConstraint());
    constraint->m_firstItem = firstItem;
    constraint->m_firstAttribute = firstAttribute;
    constraint->m_relation = relation;
    constraint->m_secondItem = secondItem;
    constraint->m_secondAttribute = secondAttribute;
    constraint->m_multiplier = multiplier;
    constraint->m_constant = constant;
    return constraint;
}

void LayoutConstraint::setConstant(double constant) {
    checkMainThread();
    if (constant == m_constant) return;
    m_constant = constant;
    LayoutEngine::noteChange();
    if (auto owner = m_owner.lock()) owner->setNeedsLayout();
}

void LayoutConstraint::setPriority(float priority) {
    checkMainThread();
    if (priority == m_priority) return;
    m_priority = priority;
    LayoutEngine::noteChange();
    if (auto owner = m_owner.lock()) owner->setNeedsLayout();
}

void LayoutConstraint::setActive(bool active) {
    checkMainThread();
    if (active == isActive()) return;
    auto self = sharedAs<LayoutConstraint>();
    if (!active) {
        if (auto owner = m_owner.lock()) owner->removeConstraint(self);
        return;
    }
    auto first = firstItem();
    auto second = secondItem();
    std::shared_ptr<View> a = first ? first->owningViewForLayout() : nullptr;
    std::shared_ptr<View> b = second ? second->owningViewForLayout() : nullptr;
    std::shared_ptr<View> owner = a ? a : b;
    if (a && b) {
        owner = a->nearestCommonAncestor(*b);
        if (!owner) base::fatal("constraint items have no common ancestor: " + description());
    }
    if (owner) owner->addConstraint(self);
}

void LayoutConstraint::activate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints) {
    checkMainThread();
    for (const auto& c : constraints) c->setActive(true);
}

void LayoutConstraint::deactivate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints) {
    checkMainThread();
    for (const auto& c : constraints) c->setActive(false);
}

std::vector<std::shared_ptr<LayoutConstraint>> LayoutConstraint::constraintsWithVisualFormat(
    const std::string& format, const std::map<std::string, double>& metrics,
    const std::map<std::string, std::shared_ptr<View>>& views) {
    checkMainThread();
    VisualFormatParser parser(format, metrics, views);
    auto result = parser.parse();
    if (!result) base::fatal("Unable to parse constraint format: " + parser.error());
    return *result;
}

std::string LayoutConstraint::description() const {
    auto name = [](const std::shared_ptr<LayoutItem>& item) { return item ? item->layoutItemName() : std::string(); };
    const char* relation = m_relation == LayoutRelation::equal             ? "=="
                           : m_relation == LayoutRelation::lessThanOrEqual ? "<="
                                                                           : ">=";
    std::string text = name(firstItem()) + "." + layoutAttributeName(m_firstAttribute) + " " + relation + " ";
    char number[64];
    if (m_secondAttribute != LayoutAttribute::notAnAttribute) {
        text += name(secondItem()) + "." + layoutAttributeName(m_secondAttribute);
        if (m_multiplier != 1) {
            std::snprintf(number, sizeof number, " x %g", m_multiplier);
            text += number;
        }
        std::snprintf(number, sizeof number, " + %g", m_constant);
    } else {
        std::snprintf(number, sizeof number, "%g", m_constant);
    }
    text += number;
    std::snprintf(number, sizeof number, " @%g", static_cast<double>(m_priority));
    return text + number;
}

}  // namespace ui
