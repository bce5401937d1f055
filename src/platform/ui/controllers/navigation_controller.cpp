#include "platform/ui/controllers/navigation_controller.h"

#include <algorithm>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

std::shared_ptr<NavigationController> NavigationController::create(const std::shared_ptr<ViewController>& root) {
    auto navigation = make<NavigationController>();
    if (root) navigation->setViewControllers({root}, false);
    return navigation;
}

void NavigationController::viewDidLoad() {
    checkMainThread();
    if (auto top = topViewController()) {
        auto view = top->view();
        view->setFrame(this->view()->bounds());
        insetBelowBar(*view);
        // The shown screen follows the navigation controller's size (a window resize, a rotation).
        view->setAutoresizingMask(flexibleWidth | flexibleHeight);
        this->view()->addSubview(view);
    }
    placeTitleView();
}

void NavigationController::viewDidLayoutSubviews() {
    checkMainThread();
    placeTitleView();
}

void NavigationController::placeTitleView() {
    if (!isViewLoaded()) return;
    auto top = topViewController();
    auto item = top ? top->navigationItem() : nullptr;
    auto titleView = item && !m_barHidden ? item->titleView() : nullptr;
    auto shown = m_shownTitleView.lock();
    if (shown && shown != titleView && shown->superview() == view()) shown->removeFromSuperview();
    m_shownTitleView = titleView;
    if (item) {
        std::weak_ptr<NavigationController> weakSelf = sharedAs<NavigationController>();
        item->titleViewDidChange = [weakSelf] {
            if (auto self = weakSelf.lock()) self->placeTitleView();
        };
    }
    if (!titleView) return;
    // Centred in the bar at the size it asks for, no wider than the bar leaves beside its margins.
    constexpr double margin = 16;
    const Rect bounds = view()->bounds();
    Size size = titleView->intrinsicContentSize();
    if (size.width < 0) size.width = titleView->frame().width();
    if (size.height < 0) size.height = titleView->frame().height();
    size.width = std::max(0.0, std::min(size.width, bounds.width() - 2 * margin));
    size.height = std::min(size.height, barHeight);
    const double barTop = bounds.minY() + view()->safeAreaInsets().top;
    const Rect frame(bounds.minX() + (bounds.width() - size.width) / 2, barTop + (barHeight - size.height) / 2,
                     size.width, size.height);
    if (titleView->superview() != view()) {
        view()->addSubview(titleView);
    } else if (view()->subviews().back() != titleView) {
        view()->bringSubviewToFront(titleView);
    }
    if (!(titleView->frame() == frame)) titleView->setFrame(frame);
}

std::shared_ptr<ViewController> NavigationController::visibleViewController() const {
    auto top = topViewController();
    if (!top) return nullptr;
    return top->presentedViewController() ? top->topPresentedViewController() : top;
}

void NavigationController::setNavigationBarHidden(bool hidden, bool) {
    checkMainThread();
    m_barHidden = hidden;
    for (const auto& controller : m_stack)
        if (controller->isViewLoaded()) insetBelowBar(*controller->view());
    placeTitleView();
}

void NavigationController::insetBelowBar(View& view) const {
    auto insets = view.additionalSafeAreaInsets();
    insets.top = m_barHidden ? 0 : barHeight;
    view.setAdditionalSafeAreaInsets(insets);
}
void NavigationController::setToolbarHidden(bool hidden, bool) {
    checkMainThread();
    m_toolbarHidden = hidden;
}

void NavigationController::show(const std::shared_ptr<ViewController>& from, const std::shared_ptr<ViewController>& to,
                                bool animated) {
    if (from == to) return;
    if (auto d = delegate(); d && to) d->willShow(*this, *to, animated);
    if (!isViewLoaded()) return;
    const bool onScreen = isOnScreen();
    if (from && onScreen) from->beginAppearance(false, animated);
    if (to) {
        auto view = to->view();
        view->setFrame(this->view()->bounds());
        insetBelowBar(*view);
        view->setAutoresizingMask(flexibleWidth | flexibleHeight);
        this->view()->addSubview(view);
        if (onScreen) to->beginAppearance(true, animated);
    }
    placeTitleView();
    std::weak_ptr<NavigationController> weakSelf = sharedAs<NavigationController>();
    auto finish = [weakSelf, from, to, animated, token = TransitionsInFlight::begin()] {
        token->end();
        auto self = weakSelf.lock();
        if (!self) return;
        if (from && from != self->topViewController() && from->isViewLoaded()) from->view()->removeFromSuperview();
        if (from) from->endAppearance();
        if (to) to->endAppearance();
        if (auto d = self->delegate(); d && to) d->didShow(*self, *to, animated);
    };
    if (!animated) {
        finish();
        return;
    }
    auto loop = dispatch::RunLoop::main();
    loop->schedule(loop->now() + dispatch::seconds(transitionDuration), finish);
}

void NavigationController::setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated) {
    checkMainThread();
    auto from = topViewController();
    for (const auto& old : m_stack) {
        if (std::find(controllers.begin(), controllers.end(), old) == controllers.end()) {
            old->willMoveToParent(nullptr);
            if (old != from && old->isViewLoaded()) old->view()->removeFromSuperview();
            old->removeFromParent();
        }
    }
    m_stack = std::move(controllers);
    for (const auto& c : m_stack) addChild(c);
    for (const auto& c : m_stack) c->didMoveToParent(sharedAs<ViewController>());
    show(from, topViewController(), animated);
}

void NavigationController::pushViewController(const std::shared_ptr<ViewController>& controller, bool animated) {
    checkMainThread();
    if (!controller || std::find(m_stack.begin(), m_stack.end(), controller) != m_stack.end()) return;
    auto from = topViewController();
    m_stack.push_back(controller);
    addChild(controller);
    controller->didMoveToParent(sharedAs<ViewController>());
    show(from, controller, animated);
}

std::shared_ptr<ViewController> NavigationController::popViewController(bool animated) {
    checkMainThread();
    if (m_stack.size() < 2) return nullptr;
    auto popped = m_stack.back();
    m_stack.pop_back();
    popped->willMoveToParent(nullptr);
    popped->removeFromParent();
    show(popped, topViewController(), animated);
    return popped;
}

std::vector<std::shared_ptr<ViewController>> NavigationController::popToRootViewController(bool animated) {
    checkMainThread();
    if (m_stack.size() < 2) return {};
    auto from = topViewController();
    std::vector<std::shared_ptr<ViewController>> popped(m_stack.begin() + 1, m_stack.end());
    m_stack.resize(1);
    for (const auto& c : popped) {
        c->willMoveToParent(nullptr);
        if (c != from && c->isViewLoaded()) c->view()->removeFromSuperview();
        c->removeFromParent();
    }
    show(from, topViewController(), animated);
    return popped;
}

}  // namespace ui
