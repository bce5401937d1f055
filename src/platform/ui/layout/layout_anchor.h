#pragma once

#include <memory>

#include "platform/ui/layout/layout_constraint.h"

namespace ui {

// One attribute of a view or guide, from which constraints are made (inactive until activated).
class LayoutAnchor {
public:
    LayoutAnchor(std::weak_ptr<LayoutItem> item, LayoutAttribute attribute)
        : m_item(std::move(item)), m_attribute(attribute) {}

    std::shared_ptr<LayoutItem> item() const { return m_item.lock(); }
    LayoutAttribute attribute() const { return m_attribute; }

    std::shared_ptr<LayoutConstraint> constraint(const LayoutAnchor& equalTo, double constant = 0) const;
    std::shared_ptr<LayoutConstraint> constraintGreaterThanOrEqualTo(const LayoutAnchor& other,
                                                                     double constant = 0) const;
    std::shared_ptr<LayoutConstraint> constraintLessThanOrEqualTo(const LayoutAnchor& other, double constant = 0) const;
    // Dimension anchors.
    std::shared_ptr<LayoutConstraint> constraint(const LayoutAnchor& equalTo, double multiplier, double constant) const;
    std::shared_ptr<LayoutConstraint> constraintEqualToConstant(double constant) const;
    std::shared_ptr<LayoutConstraint> constraintGreaterThanOrEqualToConstant(double constant) const;
    std::shared_ptr<LayoutConstraint> constraintLessThanOrEqualToConstant(double constant) const;

private:
    std::shared_ptr<LayoutConstraint> make(const LayoutAnchor* other, LayoutRelation relation, double multiplier,
                                           double constant) const;

    std::weak_ptr<LayoutItem> m_item;
    LayoutAttribute m_attribute;
};

}  // namespace ui
