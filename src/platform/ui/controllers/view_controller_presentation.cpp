// Modal presentation and dismissal of ViewController.
#include "platform/base/log.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {

bool coversPresenter(ModalPresentationStyle style) {
    return style == ModalPresentationStyle::fullScreen || style == ModalPresentationStyle::currentContext;
}

// Where a presented view lies in the window's `area`: a sheet leaves the top of the presenter in
// view, the other styles (but a popover, placed by its own rules) cover the area.
Rect presentedFrame(ModalPresentationStyle style, const Rect& area) {
    const bool sheet = style == ModalPresentationStyle::pageSheet || style == ModalPresentationStyle::formSheet;
    return sheet ? Rect(area.origin.x, area.origin.y + 10, area.size.width, area.size.height - 10) : area;
}

// Runs `finish` after the transition: on the clock when animated, at once otherwise. The
// transition counts as in flight until `finish` has run.
void afterTransition(bool animated, std::function<void()> finish) {
    auto token = TransitionsInFlight::begin();
    auto run = [token, finish = std::move(finish)] {
        finish();
        token->end();
    };
    if (!animated) {
        run();
        return;
    }
    auto loop = dispatch::RunLoop::main();
    loop->schedule(loop->now() + dispatch::seconds(ViewController::transitionDuration), std::move(run));
}

}  // namespace

void ViewController::present(const std::shared_ptr<ViewController>& controller, bool animated,
                             std::function<void()> completion) {
    checkMainThread();
    if (!controller || controller.get() == this) return;
    auto self = sharedAs<ViewController>();
    if (m_presented && m_presented->m_beingDismissed) {
        // A screen that dismisses a sheet and then presents the next one gets it once the sheet is
        // gone, as the user would expect, instead of a refusal.
        std::weak_ptr<ViewController> weakSelf = self;
        m_presented->m_afterTransition.push_back([weakSelf, controller, animated, completion = std::move(completion)] {
            if (auto presenter = weakSelf.lock()) presenter->present(controller, animated, completion);
        });
        return;
    }
    if (m_presented) {
        base::log(base::LogLevel::warning, "ui",
                  "Attempt to present " + controller->description() + " on " + description() +
                      " which is already presenting " + m_presented->description());
        return;
    }
    if (controller->presentingViewController()) {
        base::log(base::LogLevel::warning, "ui",
                  "Attempt to present " + controller->description() + " which is already presented");
        return;
    }
    m_presented = controller;
    controller->m_presenting = self;
    ModalPresentationStyle style = controller->m_presentationStyle;
    if (style == ModalPresentationStyle::automatic) style = ModalPresentationStyle::pageSheet;
    auto window = m_view ? m_view->window() : nullptr;
    auto view = controller->view();
    const Rect area = window ? window->bounds() : Screen::main()->bounds();
    if (style == ModalPresentationStyle::popover) {
        auto popover = controller->popoverPresentationController();
        style = popover->adaptedStyle(traitCollection());
        if (style == ModalPresentationStyle::popover) {
            view->setFrame(popover->prepareForPresentation(area));
        }
    }
    if (style != ModalPresentationStyle::popover) view->setFrame(presentedFrame(style, area));
    controller->m_effectiveStyle = style;
    controller->m_beingPresented = true;
    if (window) window->addSubview(view);
    const bool covers = coversPresenter(style);
    controller->beginAppearance(true, animated);
    if (covers) beginAppearance(false, animated);
    std::weak_ptr<ViewController> weakSelf = self;
    std::weak_ptr<ViewController> weakController = controller;
    afterTransition(animated, [weakSelf, weakController, covers, completion = std::move(completion)] {
        auto presented = weakController.lock();
        if (presented) {
            presented->m_beingPresented = false;
            presented->endAppearance();
        }
        if (auto presenter = weakSelf.lock(); presenter && covers) presenter->endAppearance();
        if (completion) completion();
        if (presented) presented->runAfterTransition();
    });
}

void ViewController::presentationAreaDidChange(const Rect& area) {
    checkMainThread();
    if (!m_view || m_presenting.expired()) return;
    if (m_effectiveStyle == ModalPresentationStyle::popover) {
        popoverPresentationController()->presentationAreaDidChange(area);
        return;
    }
    m_view->setFrame(presentedFrame(m_effectiveStyle, area));
}

std::shared_ptr<ViewController> ViewController::presentingViewController() const {
    if (auto presenting = m_presenting.lock()) return presenting;
    auto container = parent();
    return container ? container->presentingViewController() : nullptr;
}

void ViewController::dismiss(bool animated, std::function<void()> completion) {
    checkMainThread();
    std::shared_ptr<ViewController> presenter;
    std::shared_ptr<ViewController> target;
    if (m_presented) {
        presenter = sharedAs<ViewController>();
        target = m_presented;
    } else if (auto p = presentingViewController()) {
        presenter = p;
        // A child of a presented container dismisses that container.
        target = sharedAs<ViewController>();
        while (target->m_presenting.expired() && target->parent()) target = target->parent();
    } else {
        if (completion) completion();
        return;
    }
    if (target->m_beingPresented || target->m_beingDismissed) {
        // One transition at a time: a dismissal asked for while the screen is still coming waits
        // for it; one asked for while it is already going only adds its completion.
        std::weak_ptr<ViewController> weakSelf = sharedAs<ViewController>();
        if (target->m_beingDismissed) {
            if (completion) target->m_afterTransition.push_back(std::move(completion));
        } else {
            target->m_afterTransition.push_back([weakSelf, animated, completion = std::move(completion)] {
                if (auto self = weakSelf.lock()) self->dismiss(animated, completion);
            });
        }
        return;
    }
    std::vector<std::shared_ptr<ViewController>> chain;  // top first
    for (auto c = target; c; c = c->m_presented) chain.insert(chain.begin(), c);
    for (const auto& c : chain) {
        c->m_beingDismissed = true;
        c->beginAppearance(false, animated);
    }
    const bool covers = coversPresenter(target->m_effectiveStyle);
    if (covers) presenter->beginAppearance(true, animated);
    afterTransition(animated, [chain, target, presenter, covers, completion = std::move(completion)] {
        for (const auto& c : chain) {
            if (c->isViewLoaded()) c->view()->removeFromSuperview();
            c->m_beingDismissed = false;
            c->endAppearance();
            if (auto p = c->presentingViewController()) p->m_presented = nullptr;
            c->m_presenting.reset();
        }
        if (covers) presenter->endAppearance();
        if (completion) completion();
        target->runAfterTransition();
    });
}

void ViewController::runAfterTransition() {
    auto waiting = std::move(m_afterTransition);
    m_afterTransition.clear();
    for (auto& work : waiting) work();
}

}  // namespace ui
