#include "platform/ui/controllers/view_controller.h"

#include <algorithm>

#include "platform/base/fatal.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/gestures/presses_before_paint.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/view.h"
#include "platform/ui/views/window.h"

namespace ui {

std::shared_ptr<ViewController> ViewController::create() { return make<ViewController>(); }

ViewController::~ViewController() = default;

std::shared_ptr<View> ViewController::view() {
    checkMainThread();
    if (!m_view) {
        if (m_loading) base::fatal("view asked for while it is being loaded");
        m_loading = true;
        loadView();
        if (!m_view) setView(View::create(Screen::main()->bounds()));
        m_loading = false;
        viewDidLoad();
    }
    return m_view;
}

void ViewController::setView(const std::shared_ptr<View>& view) {
    checkMainThread();
    if (m_view) m_view->setViewController(nullptr);
    m_view = view;
    if (m_view) m_view->setViewController(sharedAs<ViewController>());
}

void ViewController::loadView() {
    checkMainThread();
    setView(View::create(Screen::main()->bounds()));
}

TraitCollection ViewController::traitCollection() const {
    if (m_view) return m_view->traitCollection();
    if (auto p = parent()) return p->traitCollection();
    if (auto p = presentingViewController()) return p->traitCollection();
    return {};
}

std::shared_ptr<NavigationItem> ViewController::navigationItem() {
    checkMainThread();
    if (!m_navigationItem) m_navigationItem = NavigationItem::create(m_title);
    return m_navigationItem;
}

void ViewController::addChild(const std::shared_ptr<ViewController>& child) {
    checkMainThread();
    if (!child || child.get() == this) return;
    if (auto old = child->parent(); old.get() == this) return;
    child->removeFromParent();
    auto self = sharedAs<ViewController>();
    child->willMoveToParent(self);
    m_children.push_back(child);
    child->m_parent = self;
}

void ViewController::removeFromParent() {
    checkMainThread();
    auto p = parent();
    if (!p) return;
    auto self = sharedAs<ViewController>();
    auto& siblings = p->m_children;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), self), siblings.end());
    m_parent.reset();
    didMoveToParent(nullptr);
}

std::shared_ptr<NavigationController> ViewController::navigationController() const {
    for (auto p = parent(); p; p = p->parent()) {
        if (auto navigation = std::dynamic_pointer_cast<NavigationController>(p)) return navigation;
    }
    return nullptr;
}

void ViewController::setPreferredContentSize(Size size) {
    checkMainThread();
    if (size == m_preferredContentSize) return;
    m_preferredContentSize = size;
    if (m_popover && m_effectiveStyle == ModalPresentationStyle::popover) {
        m_popover->preferredContentSizeDidChange(m_appearance == AppearanceState::appeared);
    }
}

std::shared_ptr<PopoverPresentationController> ViewController::popoverPresentationController() {
    checkMainThread();
    if (m_presentationStyle != ModalPresentationStyle::popover) return m_popover;
    if (!m_popover) m_popover = PopoverPresentationController::create(sharedAs<ViewController>());
    return m_popover;
}

std::shared_ptr<ViewController> ViewController::topPresentedViewController() {
    checkMainThread();
    auto top = sharedAs<ViewController>();
    while (top->m_presented) top = top->m_presented;
    return top;
}

void ViewController::performSegue(const std::string& identifier, const std::shared_ptr<Object>& sender) {
    checkMainThread();
    auto board = storyboard();
    auto segue = board ? board->makeSegue(identifier) : std::nullopt;
    if (!segue || !segue->destination)
        base::fatal(description() + " has no segue with identifier '" + identifier + "'");
    segue->source = sharedAs<ViewController>();
    prepareForSegue(*segue, sender);
    auto navigation = navigationController();
    if (segue->kind == StoryboardSegue::Kind::show && navigation) {
        navigation->pushViewController(segue->destination, true);
        return;
    }
    if (segue->kind == StoryboardSegue::Kind::popover)
        segue->destination->setModalPresentationStyle(ModalPresentationStyle::popover);
    present(segue->destination, true);
}

std::shared_ptr<Responder> ViewController::next() const {
    if (m_view) {
        if (auto superview = m_view->superview()) return superview;
    }
    if (auto p = parent()) return p;
    return presentingViewController();
}

void ViewController::beginAppearance(bool appearing, bool animated) {
    checkMainThread();
    m_appearanceAnimated = animated;
    if (appearing) {
        if (isOnScreen()) return;
        loadViewIfNeeded();
        m_appearance = AppearanceState::appearing;
        m_shownAt = ClickRuns::current();
        PressesBeforePaint::appeared();
        viewWillAppear(animated);
    } else {
        if (m_appearance == AppearanceState::disappeared || m_appearance == AppearanceState::disappearing) return;
        m_appearance = AppearanceState::disappearing;
        viewWillDisappear(animated);
    }
    const auto children = m_children;
    for (const auto& child : children) {
        if (child->isViewLoaded() && child->view()->superview()) child->beginAppearance(appearing, animated);
    }
}

void ViewController::endAppearance() {
    checkMainThread();
    if (m_appearance == AppearanceState::appearing) {
        m_appearance = AppearanceState::appeared;
        viewDidAppear(m_appearanceAnimated);
    } else if (m_appearance == AppearanceState::disappearing) {
        m_appearance = AppearanceState::disappeared;
        viewDidDisappear(m_appearanceAnimated);
    } else {
        return;
    }
    const auto children = m_children;
    for (const auto& child : children) child->endAppearance();
}

}  // namespace ui
