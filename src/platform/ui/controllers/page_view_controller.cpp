#include "platform/ui/controllers/page_view_controller.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<PageViewController> PageViewController::create(TransitionStyle style,
                                                               NavigationOrientation orientation) {
    auto pages = make<PageViewController>();
    pages->m_style = style;
    pages->m_orientation = orientation;
    return pages;
}

void PageViewController::setViewControllers(std::vector<std::shared_ptr<ViewController>> pages, NavigationDirection,
                                            bool, std::function<void(bool)> completion) {
    checkMainThread();
    for (const auto& old : m_pages) old->removeFromParent();
    m_pages = std::move(pages);
    for (const auto& page : m_pages) addChild(page);
    if (completion) completion(true);
}

bool PageViewController::swipe(bool forward) {
    auto source = dataSource();
    if (!source || m_pages.empty()) return false;
    auto next = forward ? source->viewControllerAfter(*this, *m_pages.front())
                        : source->viewControllerBefore(*this, *m_pages.front());
    if (!next) return false;
    const auto previous = m_pages;
    setViewControllers({next}, forward ? NavigationDirection::forward : NavigationDirection::reverse, true);
    if (auto d = delegate()) d->didFinishAnimating(*this, true, previous, true);
    return true;
}

bool PageViewController::swipeForward() {
    checkMainThread();
    return swipe(true);
}
bool PageViewController::swipeBackward() {
    checkMainThread();
    return swipe(false);
}

}  // namespace ui
