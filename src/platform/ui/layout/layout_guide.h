#pragma once

#include <memory>
#include <string>

#include "platform/ui/layout/layout_anchor.h"
#include "platform/ui/layout/layout_item.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/object.h"

namespace ui {

// A rectangle of a view that constraints can relate to (the safe area, the layout margins).
class LayoutGuide : public Object, public LayoutItem {
public:
    static std::shared_ptr<LayoutGuide> create(std::string identifier);
    std::string className() const override { return "LayoutGuide"; }

    const std::string& identifier() const { return m_identifier; }
    std::shared_ptr<View> owningView() const { return m_owningView.lock(); }
    void setOwningView(const std::shared_ptr<View>& view) {
        checkMainThread();
        m_owningView = view;
    }

    std::shared_ptr<View> owningViewForLayout() const override { return owningView(); }
    std::string layoutItemName() const override { return m_identifier; }

protected:
    explicit LayoutGuide(std::string identifier) : m_identifier(std::move(identifier)) {}

    std::shared_ptr<LayoutItem> layoutItemPointer() override { return sharedAs<LayoutGuide>(); }

private:
    std::string m_identifier;
    std::weak_ptr<View> m_owningView;
};

}  // namespace ui
