#include "platform/ui/controls/bar_button_item.h"

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

std::shared_ptr<BarButtonItem> BarButtonItem::create(std::string title, std::shared_ptr<Image> image, Style style) {
    auto item = make<BarButtonItem>();
    item->m_title = std::move(title);
    item->m_image = std::move(image);
    item->m_style = style;
    return item;
}

std::shared_ptr<BarButtonItem> BarButtonItem::create(SystemItem systemItem) {
    auto item = make<BarButtonItem>();
    item->m_systemItem = systemItem;
    if (systemItem == SystemItem::done) item->m_style = Style::done;
    return item;
}

void BarButtonItem::setTarget(const std::shared_ptr<void>& target, Handler action) {
    checkMainThread();
    m_target = target;
    m_hasTarget = target != nullptr;
    m_action = std::move(action);
}

bool BarButtonItem::tap() {
    checkMainThread();
    if (!m_enabled) return false;
    auto self = sharedAs<BarButtonItem>();
    if (m_primaryAction) return m_primaryAction->perform(self);
    if (m_action && !(m_hasTarget && m_target.expired())) {
        m_action(*this);
        return true;
    }
    if (m_menu) {
        ++m_menuOpenings;
        // A bar item is drawn in the key window's bars.
        if (auto w = Window::keyWindow()) w->presentMenu(m_menu, nullptr, self);
        return true;
    }
    return false;
}

TextAttributes BarButtonItem::titleTextAttributes(ControlState state) const {
    const auto it = m_titleTextAttributes.find(state);
    return it == m_titleTextAttributes.end() ? TextAttributes{} : it->second;
}

void BarButtonItem::setTitleTextAttributes(TextAttributes attributes, ControlState state) {
    checkMainThread();
    m_titleTextAttributes[state] = std::move(attributes);
}

TextAttributes BarButtonItem::effectiveTitleTextAttributes(ControlState state) const {
    TextAttributes result = titleTextAttributes(state);
    // A key the state does not set comes from the normal state.
    for (const auto& [key, value] : titleTextAttributes(ControlState::normal)) result.emplace(key, value);
    return result;
}

}  // namespace ui
