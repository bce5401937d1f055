#include "platform/ui/views/window.h"

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/gestures/finger.h"
#include "platform/ui/gestures/long_press_gesture_recognizer.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

namespace {

std::weak_ptr<Window>& keyWindowSlot() {
    static std::weak_ptr<Window> key;
    return key;
}

}  // namespace

std::shared_ptr<Window> Window::create(const Rect& frame) {
    auto window = make<Window>(frame);
    window->setHidden(true);
    return window;
}

std::shared_ptr<Window> Window::create(const std::shared_ptr<WindowScene>& scene) {
    auto window = create(scene && scene->screen() ? scene->screen()->bounds() : Screen::main()->bounds());
    window->m_windowScene = scene;
    if (scene) {
        window->m_screen = scene->screen();
        window->m_traits = scene->traitCollection();
        scene->addWindow(window);
    }
    return window;
}

Window::Window(const Rect& frame) : View(frame) {}

std::shared_ptr<Window> Window::window() const { return std::const_pointer_cast<Window>(sharedAs<Window>()); }

void Window::setRootViewController(const std::shared_ptr<ViewController>& controller) {
    checkMainThread();
    if (m_rootViewController == controller) return;
    if (m_rootViewController && m_rootViewController->isViewLoaded())
        m_rootViewController->view()->removeFromSuperview();
    m_rootViewController = controller;
    if (!controller) return;
    auto view = controller->view();
    view->setFrame(bounds());
    view->setAutoresizingMask(flexibleWidth | flexibleHeight);
    addSubview(view);
    if (!isHidden()) {
        controller->beginAppearance(true, false);
        controller->endAppearance();
    }
}

void Window::makeKeyAndVisible() {
    checkMainThread();
    const bool wasHidden = isHidden();
    setHidden(false);
    if (auto old = keyWindowSlot().lock(); old && old.get() != this) old->m_key = false;
    m_key = true;
    keyWindowSlot() = sharedAs<Window>();
    if (wasHidden && m_rootViewController) {
        m_rootViewController->beginAppearance(true, false);
        m_rootViewController->endAppearance();
    }
}

std::shared_ptr<Window> Window::keyWindow() {
    checkMainThread();
    return keyWindowSlot().lock();
}

void Window::setTraitCollection(const TraitCollection& traits) {
    checkMainThread();
    if (traits == m_traits) return;
    const TraitCollection previous = m_traits;
    m_traits = traits;
    forEachInTree([&](View& view) {
        view.traitCollectionDidChange(previous);
        if (auto controller = view.viewController()) controller->traitCollectionDidChange(previous);
    });
}

void Window::setFrame(const Rect& frame) {
    const Size oldSize = bounds().size;
    View::setFrame(frame);
    if (!(oldSize == bounds().size)) placePresentedScreens();
}

std::vector<std::shared_ptr<ViewController>> Window::presentedScreens() const {
    // A screen may be presented by any controller in the tree (a child of a navigation controller
    // presents the player); its view lies above the root's in the window, the latest on top.
    std::vector<std::shared_ptr<ViewController>> screens;
    for (const auto& subview : subviews()) {
        auto controller = subview->viewController();
        if (controller && controller != m_rootViewController && controller->presentingViewController())
            screens.push_back(std::move(controller));
    }
    return screens;
}

void Window::placePresentedScreens() {
    const Rect area({0, 0}, bounds().size);
    if (m_rootViewController && m_rootViewController->isViewLoaded()) m_rootViewController->view()->setFrame(area);
    std::vector<std::shared_ptr<ViewController>> popovers;
    for (const auto& c : presentedScreens()) {
        if (c->effectivePresentationStyle() == ModalPresentationStyle::popover)
            popovers.push_back(c);
        else
            c->presentationAreaDidChange(area);
    }
    // A popover follows its anchor, which the new size may move: the screens under it are laid out
    // first.
    if (!popovers.empty()) layoutIfNeeded();
    for (const auto& popover : popovers) popover->presentationAreaDidChange(area);
}

void Window::transitionToSize(Size size, double duration) {
    checkMainThread();
    std::vector<std::shared_ptr<ViewController>> controllers;
    if (m_rootViewController) controllers.push_back(m_rootViewController);
    for (auto& c : presentedScreens()) controllers.push_back(std::move(c));
    TransitionCoordinator coordinator(duration);
    for (const auto& c : controllers) c->viewWillTransition(size, coordinator);
    const auto completions = coordinator.completions();
    View::animate(
        duration,
        [&] {
            setFrame(Rect(frame().origin, size));
            for (const auto& block : coordinator.alongside()) block();
        },
        [completions](bool) {
            for (const auto& block : completions) block();
        });
}

void Window::scheduleLayoutPass() {
    checkMainThread();
    if (m_layoutScheduled) return;
    m_layoutScheduled = true;
    std::weak_ptr<Window> weak = sharedAs<Window>();
    dispatch::RunLoop::main()->post([weak] {
        auto window = weak.lock();
        if (!window) return;
        window->m_layoutScheduled = false;
        window->layoutIfNeeded();
    });
}

std::shared_ptr<View> Window::tap(Point point, int touches) {
    checkMainThread();
    Finger finger(sharedAs<Window>());
    auto hit = finger.down(point, touches);
    finger.up(point);
    return hit;
}

template <typename T>
std::shared_ptr<T> Window::beginGesture(Point point, const std::function<bool(T&)>& start) {
    auto hit = hitTest(point);
    for (auto v = hit; v; v = v->superview()) {
        const auto recognizers = v->gestureRecognizers();  // an action may change them
        for (const auto& recognizer : recognizers) {
            auto typed = std::dynamic_pointer_cast<T>(recognizer);
            if (!typed) continue;
            Touch touch{point, point, Touch::Phase::began, 1, hit};
            if (auto d = typed->delegate(); d && !d->shouldReceiveTouch(*typed, touch)) continue;
            if (start(*typed)) return typed;
        }
    }
    return nullptr;
}

std::shared_ptr<PanGestureRecognizer> Window::beginPan(Point point, int touches) {
    checkMainThread();
    return beginGesture<PanGestureRecognizer>(point, [&](PanGestureRecognizer& r) { return r.begin(point, touches); });
}

std::shared_ptr<PinchGestureRecognizer> Window::beginPinch(Point point) {
    checkMainThread();
    return beginGesture<PinchGestureRecognizer>(point, [&](PinchGestureRecognizer& r) { return r.begin(point); });
}

std::shared_ptr<LongPressGestureRecognizer> Window::beginLongPress(Point point) {
    checkMainThread();
    return beginGesture<LongPressGestureRecognizer>(point,
                                                    [&](LongPressGestureRecognizer& r) { return r.press(point); });
}

std::shared_ptr<ViewController> Window::topPresentedViewController() const {
    // Presented screens lie above the root's view in the window, the latest on top.
    for (auto it = subviews().rbegin(); it != subviews().rend(); ++it) {
        if (auto controller = (*it)->viewController(); controller && controller->presentingViewController())
            return controller;
    }
    return nullptr;
}

std::shared_ptr<ViewController> Window::popoverOnTop() const {
    auto top = topPresentedViewController();
    if (!top || top->effectivePresentationStyle() != ModalPresentationStyle::popover || top->isBeingDismissed())
        return nullptr;
    return top;
}

bool Window::dismissPopoverOutside(const View& owner) {
    checkMainThread();
    auto top = popoverOnTop();
    if (!top || &owner == top->view().get() || owner.isDescendant(*top->view())) return false;
    top->popoverPresentationController()->dismissByUser();
    return true;
}

bool Window::dismissPopoverOutside(Point point) {
    checkMainThread();
    auto top = popoverOnTop();
    if (!top) return false;
    auto inside = [point](const View& view) { return view.convert(view.bounds(), nullptr).contains(point); };
    if (inside(*top->view())) return false;
    auto popover = top->popoverPresentationController();
    for (const auto& weak : popover->passthroughViews()) {
        if (auto view = weak.lock(); view && inside(*view)) return false;
    }
    popover->dismissByUser();
    return true;
}

void Window::presentMenu(std::shared_ptr<Menu> menu, const std::shared_ptr<View>& anchorView,
                         const std::shared_ptr<BarButtonItem>& anchorItem) {
    checkMainThread();
    if (m_presentedMenu) m_presentedMenu->close();
    if (!menu) return;
    auto presented = PresentedMenu::create(std::move(menu), anchorView, anchorItem);
    std::weak_ptr<Window> weak = sharedAs<Window>();
    presented->onClose = [weak](PresentedMenu& closed) {
        if (auto self = weak.lock(); self && self->m_presentedMenu.get() == &closed) self->m_presentedMenu.reset();
    };
    m_presentedMenu = std::move(presented);
}

}  // namespace ui
