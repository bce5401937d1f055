#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controllers/modal_presentation_style.h"
#include "platform/ui/controllers/storyboard_segue.h"
#include "platform/ui/controllers/transition_coordinator.h"
#include "platform/ui/gestures/click_runs.h"
#include "platform/ui/views/interface_orientation.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/rect.h"
#include "platform/ui/views/responder.h"
#include "platform/ui/views/size.h"
#include "platform/ui/views/trait_collection.h"

namespace ui {

class NavigationController;
class NavigationItem;
class PopoverPresentationController;
class Storyboard;
class View;

// A screen: a lazily loaded root view, the life-cycle callbacks, child controllers, and modal
// presentation. Presenting runs the appearance callbacks and, when animated, finishes after
// `transitionDuration` on the main run loop's clock (at once when not animated).
// Main thread only.
class ViewController : public Responder {
public:
    enum class AppearanceState { disappeared, appearing, appeared, disappearing };
    static constexpr double transitionDuration = 0.35;

    static std::shared_ptr<ViewController> create();
    ~ViewController() override;
    std::string className() const override { return "ViewController"; }

    // The root view, loaded on first use (`loadView`, then `viewDidLoad`).
    std::shared_ptr<View> view();
    bool isViewLoaded() const { return m_view != nullptr; }
    void loadViewIfNeeded() {
        checkMainThread();
        view();
    }
    void setView(const std::shared_ptr<View>& view);
    virtual void loadView();
    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}
    virtual void viewWillLayoutSubviews() {}
    virtual void viewDidLayoutSubviews() {}
    virtual void traitCollectionDidChange(const TraitCollection& /*previous*/) {}
    // The window is about to take `size` (a rotation); `coordinator` animates along.
    virtual void viewWillTransition(Size /*size*/, TransitionCoordinator& /*coordinator*/) {}
    AppearanceState appearanceState() const { return m_appearance; }
    // Shown, or on its way in.
    bool isOnScreen() const {
        return m_appearance == AppearanceState::appeared || m_appearance == AppearanceState::appearing;
    }
    // The pointer's run of clicks when it last began to appear: no press of that run lands on it.
    ClickRuns::Stamp shownAt() const { return m_shownAt; }
    TraitCollection traitCollection() const;

    const std::string& title() const { return m_title; }
    virtual void setTitle(std::string title) {
        checkMainThread();
        m_title = std::move(title);
    }
    std::shared_ptr<NavigationItem> navigationItem();
    Size preferredContentSize() const { return m_preferredContentSize; }
    // Shown as a popover, the popover takes the new size at once (animated once it has appeared).
    void setPreferredContentSize(Size size);

    // Containment.
    std::shared_ptr<ViewController> parent() const { return m_parent.lock(); }
    const std::vector<std::shared_ptr<ViewController>>& children() const { return m_children; }
    void addChild(const std::shared_ptr<ViewController>& child);
    void removeFromParent();
    virtual void willMoveToParent(const std::shared_ptr<ViewController>& /*parent*/) {}
    virtual void didMoveToParent(const std::shared_ptr<ViewController>& /*parent*/) {}
    std::shared_ptr<NavigationController> navigationController() const;

    // Presentation.
    std::shared_ptr<ViewController> presentedViewController() const { return m_presented; }
    // The controller that presents this one, or the one that presents its nearest presented
    // ancestor (a controller inside a presented navigation controller).
    std::shared_ptr<ViewController> presentingViewController() const;
    ModalPresentationStyle modalPresentationStyle() const { return m_presentationStyle; }
    void setModalPresentationStyle(ModalPresentationStyle style) {
        checkMainThread();
        m_presentationStyle = style;
    }
    ModalTransitionStyle modalTransitionStyle() const { return m_transitionStyle; }
    void setModalTransitionStyle(ModalTransitionStyle style) {
        checkMainThread();
        m_transitionStyle = style;
    }
    bool isModalInPresentation() const { return m_modalInPresentation; }
    void setModalInPresentation(bool modal) {
        checkMainThread();
        m_modalInPresentation = modal;
    }
    // The style the presentation took (a popover adapts in a compact width unless its delegate
    // keeps it).
    ModalPresentationStyle effectivePresentationStyle() const { return m_effectiveStyle; }
    // Made when the style is popover and first asked for.
    std::shared_ptr<PopoverPresentationController> popoverPresentationController();
    // The window it is presented in took another size: its view takes the place its style gives
    // it in `area` (a popover's place is its presentation controller's). Nothing when not presented.
    void presentationAreaDidChange(const Rect& area);
    bool isBeingPresented() const { return m_beingPresented; }
    bool isBeingDismissed() const { return m_beingDismissed; }
    // Presents `controller` above this one. A controller that already presents another logs a
    // warning and presents nothing (the completion does not run); while what it presents is being
    // dismissed, the presentation waits for the dismissal to end and then runs.
    virtual void present(const std::shared_ptr<ViewController>& controller, bool animated,
                         std::function<void()> completion = {});
    // Dismisses what this controller presents (with everything above it), or this controller
    // when it presents nothing. While that controller is still being presented the dismissal
    // waits for it; while it is already being dismissed only the completion is added. Every
    // completion runs once.
    virtual void dismiss(bool animated, std::function<void()> completion = {});
    // The controller at the top of this one's presentation chain (itself when it presents none).
    std::shared_ptr<ViewController> topPresentedViewController();

    // Storyboard segues: `performSegue` makes the destination, lets `prepareForSegue` see it, then
    // shows it (pushed in a navigation controller, else presented). A segue the storyboard does not
    // have is a programming error.
    void performSegue(const std::string& identifier, const std::shared_ptr<Object>& sender = nullptr);
    virtual void prepareForSegue(StoryboardSegue& /*segue*/, const std::shared_ptr<Object>& /*sender*/) {}

    // System appearance questions.
    virtual bool prefersStatusBarHidden() const { return false; }
    virtual bool prefersHomeIndicatorAutoHidden() const { return false; }
    enum class StatusBarStyle { defaultStyle, lightContent, darkContent };
    virtual StatusBarStyle preferredStatusBarStyle() const { return StatusBarStyle::defaultStyle; }
    virtual unsigned supportedInterfaceOrientations() const { return orientationMaskAllButUpsideDown; }
    void setNeedsUpdateOfSupportedInterfaceOrientations() {
        checkMainThread();
        ++m_orientationUpdates;
    }
    int supportedOrientationUpdates() const { return m_orientationUpdates; }
    void setNeedsStatusBarAppearanceUpdate() {
        checkMainThread();
        ++m_statusBarUpdates;
    }
    int statusBarAppearanceUpdates() const { return m_statusBarUpdates; }
    void setNeedsUpdateOfHomeIndicatorAutoHidden() {
        checkMainThread();
        ++m_homeIndicatorUpdates;
    }
    int homeIndicatorUpdates() const { return m_homeIndicatorUpdates; }

    // The storyboard that made this controller, if any.
    std::shared_ptr<Storyboard> storyboard() const { return m_storyboard; }
    void setStoryboard(const std::shared_ptr<Storyboard>& storyboard) {
        checkMainThread();
        m_storyboard = storyboard;
    }

    std::shared_ptr<Responder> next() const override;

    // Appearance transitions, forwarded to the children; containers and windows call these.
    void beginAppearance(bool appearing, bool animated);
    void endAppearance();

protected:
    ViewController() = default;

private:
    // Runs, in order, what waited for this controller's presentation or dismissal to end.
    void runAfterTransition();

    std::shared_ptr<View> m_view;
    bool m_loading = false;
    AppearanceState m_appearance = AppearanceState::disappeared;
    bool m_appearanceAnimated = false;
    ClickRuns::Stamp m_shownAt = 0;
    std::string m_title;
    std::shared_ptr<NavigationItem> m_navigationItem;
    Size m_preferredContentSize;
    std::weak_ptr<ViewController> m_parent;
    std::vector<std::shared_ptr<ViewController>> m_children;
    std::shared_ptr<ViewController> m_presented;
    std::weak_ptr<ViewController> m_presenting;
    ModalPresentationStyle m_presentationStyle = ModalPresentationStyle::automatic;
    ModalTransitionStyle m_transitionStyle = ModalTransitionStyle::coverVertical;
    ModalPresentationStyle m_effectiveStyle = ModalPresentationStyle::automatic;
    bool m_modalInPresentation = false;
    std::shared_ptr<PopoverPresentationController> m_popover;
    bool m_beingPresented = false;
    bool m_beingDismissed = false;
    std::vector<std::function<void()>> m_afterTransition;
    int m_statusBarUpdates = 0;
    int m_homeIndicatorUpdates = 0;
    int m_orientationUpdates = 0;
    std::shared_ptr<Storyboard> m_storyboard;  // the storyboard keeps nothing of its controllers
};

}  // namespace ui
