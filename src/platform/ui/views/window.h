#pragma once

#include <memory>
#include <vector>

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/view.h"

namespace ui {

class BarButtonItem;
class LongPressGestureRecognizer;
class Menu;
class PanGestureRecognizer;
class PinchGestureRecognizer;
class PresentedMenu;
class ViewController;
class WindowScene;

// The root of a view hierarchy on a screen. It holds the root controller's view, the traits of
// its views, and schedules layout passes on the main run loop.
class Window : public View {
public:
    static std::shared_ptr<Window> create(const Rect& frame = Screen::main()->bounds());
    static std::shared_ptr<Window> create(const std::shared_ptr<WindowScene>& scene);
    std::string className() const override { return "Window"; }

    std::shared_ptr<Window> window() const override;

    std::shared_ptr<ViewController> rootViewController() const { return m_rootViewController; }
    void setRootViewController(const std::shared_ptr<ViewController>& controller);
    std::shared_ptr<WindowScene> windowScene() const { return m_windowScene.lock(); }
    void setWindowScene(const std::shared_ptr<WindowScene>& scene) {
        checkMainThread();
        m_windowScene = scene;
    }
    std::shared_ptr<Screen> screen() const { return m_screen; }
    void setScreen(const std::shared_ptr<Screen>& screen) {
        checkMainThread();
        m_screen = screen;
    }

    // Shows the window and makes it the key window; the root controller appears.
    void makeKeyAndVisible();
    bool isKeyWindow() const { return m_key; }
    static std::shared_ptr<Window> keyWindow();

    TraitCollection windowTraitCollection() const { return m_traits; }
    // Changes the traits; every view and controller in the window hears the change.
    void setTraitCollection(const TraitCollection& traits);

    // The window changes size as in a rotation: the root controller and every controller it
    // presents hear `viewWillTransition`, then inside a `duration` animation that runs the
    // coordinators' alongside blocks the window takes the new size and each view the place its
    // presentation style gives it there (a popover stays by its anchor's new place); their
    // completions run when it ends on the clock.
    void transitionToSize(Size size, double duration = 0.3);
    // A new size, with or without a transition, lays out every presented screen for it.
    void setFrame(const Rect& frame) override;

    // Runs a layout pass on the next turn of the main run loop (once, however often asked).
    void scheduleLayoutPass();

    // A touch put down and lifted at once at a point of the window, through the one touch path
    // (`Finger`): the delegates of the recognisers under it are asked, the control under it
    // takes it, else the tap recognisers, else the hit view. While a menu is open the touch only
    // closes it; a touch outside a popover only dismisses it. `touches` fingers tap together: a
    // recogniser that requires another number of touches does not recognise it. Returns the hit
    // view (none when the touch closed a menu or dismissed a popover).
    std::shared_ptr<View> tap(Point point, int touches = 1);

    // Fingers put down at a point of the window to pan, pinch or press: the recognisers of that
    // kind on the hit view and its ancestors are offered the touch, the nearest first (their
    // delegates may decline it or refuse to begin); the first that begins is returned for the
    // caller to move and end. None when no recogniser took it.
    std::shared_ptr<PanGestureRecognizer> beginPan(Point point, int touches = 1);
    std::shared_ptr<PinchGestureRecognizer> beginPinch(Point point);
    std::shared_ptr<LongPressGestureRecognizer> beginLongPress(Point point);

    // A touch at `point` outside the popover shown on top (and outside its passthrough views)
    // dismisses it as the user would; returns true when the touch went to that.
    bool dismissPopoverOutside(Point point);
    // The same for a touch on what the window draws for `owner` outside its views (a bar's item):
    // it is outside the popover unless `owner` lies inside it.
    bool dismissPopoverOutside(const View& owner);

    // The screen presented last that shows in the window (its view is the window's top-most
    // presented one), if any.
    std::shared_ptr<ViewController> topPresentedViewController() const;

    // The menu open on this window, if any: opening another closes it first.
    std::shared_ptr<PresentedMenu> presentedMenu() const { return m_presentedMenu; }
    void presentMenu(std::shared_ptr<Menu> menu, const std::shared_ptr<View>& anchorView,
                     const std::shared_ptr<BarButtonItem>& anchorItem = nullptr);

protected:
    explicit Window(const Rect& frame);

private:
    // The popover presented on top and not going, if any.
    std::shared_ptr<ViewController> popoverOnTop() const;
    // The controllers presented on this window, bottom first, wherever in the tree they were
    // presented from.
    std::vector<std::shared_ptr<ViewController>> presentedScreens() const;
    // Gives the root's view and every presented screen their place in the window's bounds.
    void placePresentedScreens();

    // The first recogniser of type T under `point` that takes the touch and `start`s.
    template <typename T>
    std::shared_ptr<T> beginGesture(Point point, const std::function<bool(T&)>& start);

    std::shared_ptr<ViewController> m_rootViewController;
    std::weak_ptr<WindowScene> m_windowScene;
    std::shared_ptr<Screen> m_screen = Screen::main();
    TraitCollection m_traits;
    bool m_key = false;
    bool m_layoutScheduled = false;
    std::shared_ptr<PresentedMenu> m_presentedMenu;
};

}  // namespace ui
