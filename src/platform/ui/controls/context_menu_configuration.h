#pragma once

#include <any>
#include <functional>
#include <memory>
#include <vector>

#include "platform/ui/controls/menu.h"

namespace ui {

class ViewController;

// What a long press on an item offers: a preview and a menu made when the menu opens.
class ContextMenuConfiguration : public Object {
public:
    using PreviewProvider = std::function<std::shared_ptr<ViewController>()>;
    using ActionProvider =
        std::function<std::shared_ptr<Menu>(const std::vector<std::shared_ptr<MenuElement>>& suggested)>;

    static std::shared_ptr<ContextMenuConfiguration> create(std::any identifier, PreviewProvider preview,
                                                            ActionProvider actions);
    std::string className() const override { return "ContextMenuConfiguration"; }

    const std::any& identifier() const { return m_identifier; }
    std::shared_ptr<ViewController> makePreview() const { return m_preview ? m_preview() : nullptr; }
    // The menu as it opens (no suggested elements here).
    std::shared_ptr<Menu> makeMenu() const { return m_actions ? m_actions({}) : nullptr; }

private:
    ContextMenuConfiguration() = default;

    std::any m_identifier;
    PreviewProvider m_preview;
    ActionProvider m_actions;
};

}  // namespace ui
