#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ui/views/point.h"

namespace ui {

class Control;
class GestureRecognizer;
class TapGestureRecognizer;
class View;
class Window;

// A person's finger (or fingers put down together) on a window: the one path every touch takes,
// whether it comes from the text host or a desktop's pointer.
//
// `down` hit-tests the point and offers the touch to every enabled recogniser of the hit view and
// its ancestors, asking each delegate whether it receives it (the player's filter runs here);
// the nearest enabled control then tracks it (a stepper steps, a button starts timing a held
// press). Time passing on the main run loop while the finger rests is a hold. `up` ends it: a
// control that tracks the touch gets it lifted (segments select, switches flip, buttons act),
// since a control's own tap wins over the tap recognisers of the views around it; otherwise the
// receiving tap recognisers try to recognise it, nearest first, and when none does the hit view
// gets the touches. A touch while a menu is open only closes it; a touch outside a popover only
// dismisses it. Main thread only.
class Finger {
public:
    explicit Finger(std::shared_ptr<Window> window) : m_window(std::move(window)) {}
    ~Finger();
    Finger(const Finger&) = delete;
    Finger& operator=(const Finger&) = delete;

    // `touches` fingers put down together, the `taps`-th time in a row there. Returns the hit
    // view, or none when the touch only closed a menu, only dismissed a popover or landed on nothing.
    std::shared_ptr<View> down(Point point, int touches = 1, int taps = 1);
    void move(Point point);
    // `taps`: the taps in a row this lift completes (2 for the second of a double tap).
    void up(Point point, int taps = 1);
    void cancel();

    bool isDown() const { return m_down; }
    // The control tracking the touch, if any.
    std::shared_ptr<Control> control() const { return m_control; }
    // While down: the view the touch landed on, and the nearest enabled tap recogniser that
    // receives the touch (its delegate said so at `down`) and wants `taps` taps, if any.
    std::shared_ptr<View> hit() const { return m_hit; }
    std::shared_ptr<TapGestureRecognizer> tapRecognizer(int taps) const;
    // Whether the touch changed anything: a control reacted, a recogniser recognised, or the
    // touch closed a menu or dismissed a popover.
    bool changedSomething() const;

private:
    std::shared_ptr<Window> m_window;
    std::shared_ptr<View> m_hit;
    std::shared_ptr<Control> m_control;
    std::vector<std::shared_ptr<GestureRecognizer>> m_receivers;
    int m_touches = 1;
    bool m_down = false;
    bool m_consumed = false;    // a menu closed or a popover went
    bool m_recognized = false;  // a tap recogniser took it
    std::uint64_t m_reactionsBefore = 0;
};

}  // namespace ui
