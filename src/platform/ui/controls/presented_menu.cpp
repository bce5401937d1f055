#include "platform/ui/controls/presented_menu.h"

#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/deferred_menu_element.h"
#include "platform/ui/gestures/presses_before_paint.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

std::shared_ptr<PresentedMenu> PresentedMenu::create(std::shared_ptr<Menu> menu,
                                                     const std::shared_ptr<View>& anchorView,
                                                     const std::shared_ptr<BarButtonItem>& anchorItem) {
    auto presented = make<PresentedMenu>();
    presented->m_anchorView = anchorView;
    presented->m_anchorItem = anchorItem;
    presented->open(std::move(menu));
    return presented;
}

void PresentedMenu::open(std::shared_ptr<Menu> menu) {
    m_menus.push_back(std::move(menu));
    m_entries.clear();
    m_shownAt = ClickRuns::current();
    PressesBeforePaint::appeared();
    int group = 0;
    addEntries(m_menus.back()->children(), group);
}

void PresentedMenu::addEntries(const std::vector<std::shared_ptr<MenuElement>>& elements, int& group) {
    for (const auto& element : elements) {
        if (auto deferred = std::dynamic_pointer_cast<DeferredMenuElement>(element)) {
            const auto resolved = deferred->resolve();  // a copy: the provider may deliver again later
            addEntries(resolved, group);
        } else if (auto submenu = std::dynamic_pointer_cast<Menu>(element)) {
            if (!submenu->displaysInline()) {
                m_entries.push_back({submenu, true, group});
                continue;
            }
            ++group;
            addEntries(submenu->children(), group);
            ++group;
        } else if (auto action = std::dynamic_pointer_cast<Action>(element); action && !action->isHidden()) {
            m_entries.push_back({action, false, group});
        }
    }
}

bool PresentedMenu::choose(const std::string& title) {
    checkMainThread();
    if (m_closed) return false;
    for (const auto& entry : m_entries) {
        if (entry.element->title() != title) continue;
        if (entry.isSubmenu) {
            open(std::static_pointer_cast<Menu>(entry.element));
            return true;
        }
        auto action = std::static_pointer_cast<Action>(entry.element);
        if (action->isDisabled()) return false;
        auto self = sharedAs<PresentedMenu>();  // closing drops the window's reference
        if ((action->attributes() & Action::keepsMenuPresented) == 0) close();
        std::shared_ptr<Object> sender = anchorView();
        if (!sender) sender = anchorItem();
        action->perform(sender);
        return true;
    }
    return false;
}

void PresentedMenu::close() {
    checkMainThread();
    if (m_closed) return;
    m_closed = true;
    if (onClose) onClose(*this);
}

}  // namespace ui
