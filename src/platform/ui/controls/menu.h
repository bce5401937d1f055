#pragma once

#include <memory>
#include <vector>

#include "platform/ui/controls/action.h"
#include "platform/ui/controls/menu_element.h"

namespace ui {

// A menu: a titled list of elements, shown inline in its parent or as a submenu.
class Menu : public MenuElement {
public:
    enum Options : unsigned { none = 0, displayInline = 1, destructive = 2, singleSelection = 32 };

    static std::shared_ptr<Menu> create(std::string title = {}, std::shared_ptr<Image> image = nullptr,
                                        std::string identifier = {}, unsigned options = none,
                                        std::vector<std::shared_ptr<MenuElement>> children = {});
    static std::shared_ptr<Menu> create(std::vector<std::shared_ptr<MenuElement>> children) {
        return create({}, nullptr, {}, none, std::move(children));
    }
    std::string className() const override { return "Menu"; }

    const std::string& identifier() const { return m_identifier; }
    unsigned options() const { return m_options; }
    bool displaysInline() const { return (m_options & displayInline) != 0; }
    const std::vector<std::shared_ptr<MenuElement>>& children() const { return m_children; }
    std::shared_ptr<Menu> replacingChildren(std::vector<std::shared_ptr<MenuElement>> children) const;

    // The actions as a user sees them: inline menus flattened, submenus and deferred elements
    // not opened.
    std::vector<std::shared_ptr<Action>> visibleActions() const;
    // The first action with this title anywhere in the menu, submenus included; null when none.
    std::shared_ptr<Action> findAction(const std::string& title) const;
    // The user picks the action titled `title`: false when there is none or it is disabled.
    bool selectAction(const std::string& title, const std::shared_ptr<Object>& sender = nullptr) const;

protected:
    Menu(std::string title, std::shared_ptr<Image> image) : MenuElement(std::move(title), std::move(image)) {}

private:
    std::string m_identifier;
    unsigned m_options = none;
    std::vector<std::shared_ptr<MenuElement>> m_children;
};

}  // namespace ui
