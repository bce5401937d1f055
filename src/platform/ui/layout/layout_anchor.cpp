#include "platform/ui/layout/layout_anchor.h"

namespace ui {

std::shared_ptr<LayoutConstraint> LayoutAnchor::make(const LayoutAnchor* other, LayoutRelation relation,
                                                     double multiplier, double constant) const {
    return LayoutConstraint::create(item(), m_attribute, relation, other ? other->item() : nullptr,
                                    other ? other->m_attribute : LayoutAttribute::notAnAttribute, multiplier, constant);
}

std::shared_ptr<LayoutConstraint> LayoutAnchor::constraint(const LayoutAnchor& equalTo, double constant) const {
    return make(&equalTo, LayoutRelation::equal, 1, constant);
}
std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintGreaterThanOrEqualTo(const LayoutAnchor& other,
                                                                               double constant) const {
    return make(&other, LayoutRelation::greaterThanOrEqual, 1, constant);
}
std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintLessThanOrEqualTo(const LayoutAnchor& other,
                                                                            double constant) const {
    return make(&other, LayoutRelation::lessThanOrEqual, 1, constant);
}
std::shared_ptr<LayoutConstraint> LayoutAnchor::constraint(const LayoutAnchor& equalTo, double multiplier,
                                                           double constant) const {
    return make(&equalTo, LayoutRelation::equal, multiplier, constant);
}
std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintEqualToConstant(double constant) const {
    return make(nullptr, LayoutRelation::equal, 1, constant);
}
std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintGreaterThanOrEqualToConstant(double constant) const {
    return make(nullptr, LayoutRelation::greaterThanOrEqual, 1, constant);
}
std::shared_ptr<LayoutConstraint> LayoutAnchor::constraintLessThanOrEqualToConstant(double constant) const {
    return make(nullptr, LayoutRelation::lessThanOrEqual, 1, constant);
}

}  // namespace ui
