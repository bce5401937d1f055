#include "platform/ui/controllers/page_view_controller.h"

#include <algorithm>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

std::shared_ptr<PageViewController> PageViewController::create(TransitionStyle style,
                                                               NavigationOrientation orientation) {
    auto pages = make<PageViewController>();
    pages->m_style = style;
    pages->m_orientation = orientation;
    return pages;
}

void PageViewController::viewDidLoad() {
    checkMainThread();
    if (!m_pages.empty()) place(*m_pages.front());
}

void PageViewController::place(ViewController& page) {
    auto pageView = page.view();
    pageView->setFrame(view()->bounds());
    pageView->setAutoresizingMask(flexibleWidth | flexibleHeight);
    view()->addSubview(pageView);
}

void PageViewController::setViewControllers(std::vector<std::shared_ptr<ViewController>> pages, NavigationDirection,
                                            bool animated, std::function<void(bool)> completion) {
    checkMainThread();
    const auto from = m_pages.empty() ? nullptr : m_pages.front();
    const auto to = pages.empty() ? nullptr : pages.front();
    for (const auto& old : m_pages) {
        if (std::find(pages.begin(), pages.end(), old) == pages.end()) {
            old->willMoveToParent(nullptr);
            old->removeFromParent();
        }
    }
    m_pages = std::move(pages);
    for (const auto& page : m_pages) {
        if (page->parent().get() == this) continue;
        addChild(page);
        page->didMoveToParent(sharedAs<ViewController>());
    }
    // Before the view loads, `viewDidLoad` shows the page.
    if (!isViewLoaded() || from == to) {
        if (completion) completion(true);
        return;
    }
    const bool onScreen = isOnScreen();
    if (from && onScreen) from->beginAppearance(false, animated);
    if (to) {
        place(*to);
        if (onScreen) to->beginAppearance(true, animated);
    }
    std::weak_ptr<PageViewController> weakSelf = sharedAs<PageViewController>();
    auto finish = [weakSelf, from, to, completion = std::move(completion), token = TransitionsInFlight::begin()] {
        token->end();
        auto self = weakSelf.lock();
        // The page that left keeps its view only while it is shown again meanwhile.
        if (self && from && from->isViewLoaded() &&
            std::find(self->m_pages.begin(), self->m_pages.end(), from) == self->m_pages.end())
            from->view()->removeFromSuperview();
        if (from) from->endAppearance();
        if (to) to->endAppearance();
        if (completion) completion(true);
    };
    if (!animated) {
        finish();
        return;
    }
    auto loop = dispatch::RunLoop::main();
    loop->schedule(loop->now() + dispatch::seconds(transitionDuration), std::move(finish));
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
