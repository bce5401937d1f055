#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<NavigationItem> NavigationItem::create(std::string title) {
    return make<NavigationItem>(std::move(title));
}

void NavigationItem::setLeftBarButtonItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool) {
    checkMainThread();
    m_left = std::move(items);
}

void NavigationItem::setRightBarButtonItems(std::vector<std::shared_ptr<BarButtonItem>> items, bool) {
    checkMainThread();
    m_right = std::move(items);
}

void NavigationItem::setLeftBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    checkMainThread();
    m_left.clear();
    if (item) m_left.push_back(std::move(item));
}

void NavigationItem::setRightBarButtonItem(std::shared_ptr<BarButtonItem> item) {
    checkMainThread();
    m_right.clear();
    if (item) m_right.push_back(std::move(item));
}

}  // namespace ui
