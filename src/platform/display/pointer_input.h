#pragma once

#include <memory>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/gestures/finger.h"
#include "platform/ui/lists/item_drag.h"
#include "platform/ui/views/point.h"

namespace ui {
class PanGestureRecognizer;
class PinchGestureRecognizer;
class ScrollView;
class Window;
}  // namespace ui

namespace display {

// A mouse (or touchpad) acting as fingers on a window, in window points:
// - a press puts a finger down and a release lifts it, through the window's one touch path
//   (ui::Finger, as the text host's taps): the recognisers' delegates are asked, the control
//   under it tracks it (a switch flips, a segment selects, a stepper's half steps, a button held
//   half a second opens its menu), else the tap recognisers take it; the second click of a double
//   click is a double tap (a single tap that must wait for a double tap to fail waits one
//   double-click interval);
// - a press held as long as a long press where no control took it (a grid's item) opens the
//   menu of what lies there, at the pointer; the release then taps nothing; moving on from there
//   lifts a grid's item (its menu goes) and carries it: let go on a folder it moves there, let
//   go elsewhere (or Escape while carrying) it goes back;
// - a right click (no drag) opens that menu at once, at the pointer; while a menu or a popover
//   is up it only takes that away, as a touch does;
// - a press on a text field puts its caret where it lands, the second click of a double click
//   selects the word there (the touch carries the click count);
// - a drag that starts on a control that follows drags (a slider, the player's scrubber, a text
//   field, which selects) stays that control's touch, moved and lifted as a finger's; any other
//   drag is a one-finger pan, with the right button or Ctrl held a two-finger pan; a drag that no
//   recogniser takes scrolls the scroll view under it;
// - the wheel scrolls the scroll view under the pointer; Ctrl + wheel pinches, ending once the
//   wheel rests.
// A press of the rest of a double click (or one held as it appeared) does not reach what the
// first click brought up (ui::ClickRuns). Timers run on the main run loop. Main thread only.
class PointerInput {
public:
    enum class Button { primary, secondary };
    // How far the pointer moves before a press becomes a drag, in points.
    static constexpr double dragThreshold = 4;
    // How long a single tap waits for a second click, and a wheel pinch for the next notch.
    static constexpr double doubleClickInterval = 0.3;
    static constexpr double pinchRest = 0.25;
    // Points scrolled per wheel notch; the scale a Ctrl + wheel notch multiplies by.
    static constexpr double wheelStep = 40;
    static constexpr double pinchStep = 1.1;

    explicit PointerInput(std::shared_ptr<ui::Window> window) : m_window(window), m_finger(std::move(window)) {}
    ~PointerInput();

    // `clicks` counts the presses in a row at one place (2 for the second of a double click).
    // `counted`: the window host has counted it in its run of clicks already (ui::ClickRuns).
    void press(ui::Point point, Button button, bool control, int clicks, bool counted = false);
    void move(ui::Point point);
    void release(ui::Point point);
    // `notchesX`/`notchesY`: wheel turns, positive to the right and away from the user.
    void wheel(ui::Point point, double notchesX, double notchesY, bool control);
    // A single click waits one double-click interval before it taps; true while one waits.
    bool tapPending() const { return m_singleTapTimer != 0; }
    // Sets a carried item back where it was (Escape): the release then drops nothing, and moving
    // on lifts nothing again. False when no item is carried.
    bool cancelCarry();

private:
    // Lifts the finger as the `clicks`-th click in a row.
    void lift(ui::Point point, int clicks);
    // After the hold opened a menu: lifts the item pressed and carries it to `point`.
    void carry(ui::Point point);
    void beginDrag(ui::Point point);
    // Whether a press of the pointer's run now reaches what lies at `point`: not when the screen
    // there appeared during this run (the first click of a double click brought it up).
    bool reaches(ui::Point point) const;
    // The menu of what lies under `point`, opened there by a held press or a right click.
    void holdForMenu(ui::Point point);
    void openMenu(ui::Point point);
    std::shared_ptr<ui::ScrollView> scrollViewAt(ui::Point point) const;
    void scroll(ui::ScrollView& view, ui::Point offset);
    void cancelTimer(dispatch::RunLoop::TimerId& timer);

    std::shared_ptr<ui::Window> m_window;
    ui::Finger m_finger;
    bool m_pressed = false;
    bool m_dragging = false;
    bool m_dragsControl = false;               // the drag stays the touched control's
    bool m_menuOpened = false;                 // the held press opened a menu: its release does nothing
    ui::Point m_heldAt;                        // where the pointer was as the hold opened the menu
    std::unique_ptr<ui::ItemDrag> m_itemDrag;  // the item carried after the hold
    bool m_liftRefused = false;                // what the hold opened is no item to carry
    Button m_button = Button::primary;
    bool m_control = false;
    int m_clicks = 0;
    ui::Point m_start;
    ui::Point m_last;
    dispatch::TimePoint m_lastTime{};
    ui::Point m_velocity;
    std::shared_ptr<ui::PanGestureRecognizer> m_pan;
    std::shared_ptr<ui::ScrollView> m_dragScroll;
    ui::Point m_dragScrollStart;
    std::shared_ptr<ui::PinchGestureRecognizer> m_pinch;
    double m_pinchScale = 1;
    dispatch::RunLoop::TimerId m_pinchTimer = 0;
    dispatch::RunLoop::TimerId m_singleTapTimer = 0;
    dispatch::RunLoop::TimerId m_menuTimer = 0;
    ui::Point m_pendingTap;  // where the single tap that waits was lifted
};

}  // namespace display
