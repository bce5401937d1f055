#include "platform/ui/controls/menu.h"

#include "platform/ui/controls/deferred_menu_element.h"

namespace ui {

std::shared_ptr<Menu> Menu::create(std::string title, std::shared_ptr<Image> image, std::string identifier,
                                   unsigned options, std::vector<std::shared_ptr<MenuElement>> children) {
    auto menu = make<Menu>(std::move(title), std::move(image));
    menu->m_identifier = std::move(identifier);
    menu->m_options = options;
    menu->m_children = std::move(children);
    return menu;
}

std::shared_ptr<Menu> Menu::replacingChildren(std::vector<std::shared_ptr<MenuElement>> children) const {
    return create(title(), image(), m_identifier, m_options, std::move(children));
}

std::vector<std::shared_ptr<Action>> Menu::visibleActions() const {
    std::vector<std::shared_ptr<Action>> actions;
    for (const auto& child : m_children) {
        if (auto action = std::dynamic_pointer_cast<Action>(child)) {
            if (!action->isHidden()) actions.push_back(action);
        } else if (auto menu = std::dynamic_pointer_cast<Menu>(child); menu && menu->displaysInline()) {
            auto inner = menu->visibleActions();
            actions.insert(actions.end(), inner.begin(), inner.end());
        }
    }
    return actions;
}

std::shared_ptr<Action> Menu::findAction(const std::string& title) const {
    for (const auto& child : m_children) {
        if (auto action = std::dynamic_pointer_cast<Action>(child)) {
            if (action->title() == title) return action;
        } else if (auto menu = std::dynamic_pointer_cast<Menu>(child)) {
            if (auto found = menu->findAction(title)) return found;
        } else if (auto deferred = std::dynamic_pointer_cast<DeferredMenuElement>(child)) {
            for (const auto& element : deferred->resolve()) {
                auto action = std::dynamic_pointer_cast<Action>(element);
                if (action && action->title() == title) return action;
                auto menu = std::dynamic_pointer_cast<Menu>(element);
                if (menu) {
                    if (auto found = menu->findAction(title)) return found;
                }
            }
        }
    }
    return nullptr;
}

bool Menu::selectAction(const std::string& title, const std::shared_ptr<Object>& sender) const {
    auto action = findAction(title);
    return action && action->perform(sender);
}

}  // namespace ui
