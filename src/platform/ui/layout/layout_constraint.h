#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/layout/layout_attribute.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/object.h"

namespace ui {

class LayoutItem;
class View;

// A linear relation first.attribute (relation) second.attribute x multiplier + constant, solved
// into frames by the layout pass. Activating one installs it on the nearest common ancestor of
// its items; deactivating removes it there.
class LayoutConstraint : public Object {
public:
    static std::shared_ptr<LayoutConstraint> create(const std::shared_ptr<LayoutItem>& firstItem,
                                                    LayoutAttribute firstAttribute, LayoutRelation relation,
                                                    const std::shared_ptr<LayoutItem>& secondItem,
                                                    LayoutAttribute secondAttribute, double multiplier = 1,
                                                    double constant = 0);
    std::string className() const override { return "LayoutConstraint"; }

    std::shared_ptr<LayoutItem> firstItem() const { return m_firstItem.lock(); }
    LayoutAttribute firstAttribute() const { return m_firstAttribute; }
    LayoutRelation relation() const { return m_relation; }
    std::shared_ptr<LayoutItem> secondItem() const { return m_secondItem.lock(); }
    LayoutAttribute secondAttribute() const { return m_secondAttribute; }
    double multiplier() const { return m_multiplier; }
    double constant() const { return m_constant; }
    // Changing the constant or the priority lays the owning view out again; a constant is
    // re-solved in place, so animating one is cheap.
    void setConstant(double constant);
    float priority() const { return m_priority; }
    void setPriority(float priority);
    const std::string& identifier() const { return m_identifier; }
    void setIdentifier(std::string identifier) {
        checkMainThread();
        m_identifier = std::move(identifier);
    }
    // The visual-format string this constraint came from, if any.
    const std::string& visualFormat() const { return m_visualFormat; }
    void setVisualFormat(std::string format) {
        checkMainThread();
        m_visualFormat = std::move(format);
    }

    bool isActive() const { return m_owner.lock() != nullptr; }
    void setActive(bool active);
    std::shared_ptr<View> owningView() const { return m_owner.lock(); }

    static void activate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);
    static void deactivate(const std::vector<std::shared_ptr<LayoutConstraint>>& constraints);

    // Constraints from a visual-format string ("H:|-(padding@750)-[label(>=0)]-|"); metrics and
    // views are looked up by name. An unparsable format is a programming error (fatal).
    static std::vector<std::shared_ptr<LayoutConstraint>> constraintsWithVisualFormat(
        const std::string& format, const std::map<std::string, double>& metrics,
        const std::map<std::string, std::shared_ptr<View>>& views);

    // "first.attribute == second.attribute x m + c @p", for tests and logs.
    std::string description() const override;

private:
    friend class View;
    LayoutConstraint() = default;

    std::weak_ptr<LayoutItem> m_firstItem;
    LayoutAttribute m_firstAttribute = LayoutAttribute::notAnAttribute;
    LayoutRelation m_relation = LayoutRelation::equal;
    std::weak_ptr<LayoutItem> m_secondItem;
    LayoutAttribute m_secondAttribute = LayoutAttribute::notAnAttribute;
    double m_multiplier = 1;
    double m_constant = 0;
    float m_priority = LayoutPriority::required;
    std::string m_identifier;
    std::string m_visualFormat;
    std::weak_ptr<View> m_owner;
};

}  // namespace ui
