#include "platform/display/pointer_input.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/context_menu_interaction.h"
#include "platform/ui/controls/control.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/gestures/click_runs.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/lists/item_drag.h"
#include "platform/ui/lists/scroll_view.h"
#include "platform/ui/views/window.h"

namespace display {

namespace {
bool waitsForAnother(const ui::TapGestureRecognizer& tap) {
    return std::any_of(tap.requiredToFail().begin(), tap.requiredToFail().end(), [](const auto& weak) {
        auto other = std::dynamic_pointer_cast<ui::TapGestureRecognizer>(weak.lock());
        return other && other->isEnabled() && other->numberOfTapsRequired() > 1;
    });
}

double distance(ui::Point a, ui::Point b) { return std::hypot(a.x - b.x, a.y - b.y); }
}  // namespace

PointerInput::~PointerInput() {
    cancelTimer(m_pinchTimer);
    cancelTimer(m_singleTapTimer);
    cancelTimer(m_menuTimer);
}

void PointerInput::cancelTimer(dispatch::RunLoop::TimerId& timer) {
    if (timer) dispatch::RunLoop::main()->cancel(timer);
    timer = 0;
}

void PointerInput::press(ui::Point point, Button button, bool control, int clicks, bool counted) {
    // A new run of clicks unless it goes on with one (or was made before what appeared showed).
    if (!counted) ui::ClickRuns::press(clicks > 1);
    m_pressed = true;
    m_dragging = m_dragsControl = m_menuOpened = m_liftRefused = false;
    m_itemDrag = nullptr;
    cancelTimer(m_menuTimer);
    m_button = button;
    m_control = control;
    m_clicks = std::max(1, clicks);
    m_start = m_last = point;
    m_lastTime = dispatch::RunLoop::main()->now();
    m_velocity = {};
    if (m_singleTapTimer) {
        // A click came before the last one's single tap was let go: the second of a double click
        // calls that tap off; another click lets it go first.
        cancelTimer(m_singleTapTimer);
        if (clicks < 2) m_finger.up(m_pendingTap);
    }
    // The finger rests while the button is held (a held menu button opens its menu on time).
    if (button != Button::primary) return;
    if (!reaches(point)) {
        // The rest of a double click whose first click brought up what lies here now.
        m_pressed = false;
        return;
    }
    m_finger.down(point, 1, m_clicks);
    if (m_finger.isDown() && !m_finger.control()) holdForMenu(point);
}

bool PointerInput::reaches(ui::Point point) const {
    for (auto view = m_window->hitTest(point); view; view = view->superview()) {
        if (auto controller = view->viewController(); controller && !ui::ClickRuns::mayTake(controller->shownAt()))
            return false;
    }
    return true;
}

void PointerInput::holdForMenu(ui::Point point) {
    auto loop = dispatch::RunLoop::main();
    m_menuTimer =
        loop->schedule(loop->now() + dispatch::seconds(ui::ContextMenuInteraction::pressDuration), [this, point] {
            // `this` lives as long as the window's input, which cancels the timer when it goes.
            m_menuTimer = 0;
            if (!m_pressed || m_dragging || !m_finger.isDown()) return;
            if (!ui::ContextMenuInteraction::open(*m_window, point, m_last)) return;
            // The press became the menu's: its release must not also tap.
            m_finger.cancel();
            m_menuOpened = true;
            m_heldAt = m_last;
        });
}

void PointerInput::openMenu(ui::Point point) {
    // As a touch does, a click while a menu or a popover is up only takes that away.
    if (auto menu = m_window->presentedMenu()) {
        menu->close();
        return;
    }
    if (m_window->dismissPopoverOutside(point)) return;
    ui::ContextMenuInteraction::open(*m_window, point, point);
}

void PointerInput::move(ui::Point point) {
    if (!m_pressed) return;
    if (m_menuOpened) {
        carry(point);
        return;
    }
    const auto now = dispatch::RunLoop::main()->now();
    const double elapsed = dispatch::toSeconds(now - m_lastTime);
    if (elapsed > 0) m_velocity = {(point.x - m_last.x) / elapsed, (point.y - m_last.y) / elapsed};
    m_last = point;
    m_lastTime = now;
    if (!m_dragging) {
        if (distance(point, m_start) < dragThreshold) {
            m_finger.move(point);
            return;
        }
        beginDrag(m_start);
    }
    if (m_dragsControl) {
        m_finger.move(point);
        return;
    }
    const ui::Point translation{point.x - m_start.x, point.y - m_start.y};
    if (m_pan) m_pan->move(translation, m_velocity);
    if (m_dragScroll) scroll(*m_dragScroll, {m_dragScrollStart.x - translation.x, m_dragScrollStart.y - translation.y});
}

void PointerInput::carry(ui::Point point) {
    // Moving on after the hold lifts the item whose menu it opened, as a finger does; the menu goes.
    if (!m_itemDrag) {
        if (m_liftRefused || distance(point, m_heldAt) < dragThreshold) return;
        m_itemDrag = ui::ItemDrag::lift(*m_window, m_start);
        m_liftRefused = !m_itemDrag;
        if (!m_itemDrag) return;
        if (auto menu = m_window->presentedMenu()) menu->close();
    }
    m_itemDrag->move(point);
}

bool PointerInput::cancelCarry() {
    if (!m_itemDrag) return false;
    m_itemDrag = nullptr;  // set down where it was, its destination's highlight gone
    m_liftRefused = true;
    return true;
}

void PointerInput::beginDrag(ui::Point point) {
    m_dragging = true;
    cancelTimer(m_singleTapTimer);
    cancelTimer(m_menuTimer);
    const int fingers = m_button == Button::secondary || m_control ? 2 : 1;
    // A slider's thumb follows the pointer as it follows a finger.
    if (auto control = m_finger.control(); fingers == 1 && control && control->isTouched() && control->followsDrags()) {
        m_dragsControl = true;
        return;
    }
    // Any other drag is no touch of the control under it: it pans, or scrolls.
    m_finger.cancel();
    m_pan = m_window->beginPan(point, fingers);
    if (!m_pan && fingers == 1) {
        m_dragScroll = scrollViewAt(point);
        if (m_dragScroll) m_dragScrollStart = m_dragScroll->contentOffset();
    }
}

void PointerInput::release(ui::Point point) {
    if (!m_pressed) return;
    move(point);
    m_pressed = false;
    cancelTimer(m_menuTimer);
    if (std::exchange(m_menuOpened, false)) {
        // A carried item drops where it is let go (or goes back, where nothing takes it).
        if (auto carried = std::exchange(m_itemDrag, nullptr)) carried->drop(point);
        return;
    }
    if (std::exchange(m_dragsControl, false)) {
        m_dragging = false;
        m_finger.up(point);
        return;
    }
    if (m_dragging) {
        if (auto pan = std::exchange(m_pan, nullptr)) pan->end(m_velocity);
        m_dragScroll = nullptr;
        m_dragging = false;
        return;
    }
    if (m_button == Button::primary) {
        lift(point, m_clicks);
    } else {
        openMenu(point);
    }
}

void PointerInput::lift(ui::Point point, int clicks) {
    const auto hit = m_finger.isDown() ? m_finger.hit() : nullptr;
    if (!hit || m_finger.control()) {
        m_finger.up(point);
        return;
    }
    // The second click of a double click is a double tap where a recogniser wants one, else
    // another single tap.
    if (clicks >= 2) {
        m_finger.up(point, m_finger.tapRecognizer(2) ? 2 : 1);
        return;
    }
    auto single = m_finger.tapRecognizer(1);
    if (single && waitsForAnother(*single)) {
        // It recognises only once no second click came: the finger is lifted then.
        auto loop = dispatch::RunLoop::main();
        m_pendingTap = point;
        m_singleTapTimer = loop->schedule(loop->now() + dispatch::seconds(doubleClickInterval), [this, point] {
            // `this` lives as long as the window's input, which cancels the timer when it goes.
            m_singleTapTimer = 0;
            m_finger.up(point);
        });
        return;
    }
    m_finger.up(point);
}

std::shared_ptr<ui::ScrollView> PointerInput::scrollViewAt(ui::Point point) const {
    for (auto view = m_window->hitTest(point); view; view = view->superview()) {
        if (auto scroll = std::dynamic_pointer_cast<ui::ScrollView>(view); scroll && scroll->isScrollEnabled())
            return scroll;
    }
    return nullptr;
}

void PointerInput::scroll(ui::ScrollView& view, ui::Point offset) {
    // The content stays within its insets: no rubber band without a finger's release.
    const auto inset = view.adjustedContentInset();
    const auto size = view.bounds().size;
    const double maxX = std::max(-inset.left, view.contentSize().width + inset.right - size.width);
    const double maxY = std::max(-inset.top, view.contentSize().height + inset.bottom - size.height);
    offset.x = std::clamp(offset.x, -inset.left, maxX);
    offset.y = std::clamp(offset.y, -inset.top, maxY);
    if (offset == view.contentOffset()) return;
    view.drag(offset);
}

void PointerInput::wheel(ui::Point point, double notchesX, double notchesY, bool control) {
    auto loop = dispatch::RunLoop::main();
    if (control) {
        if (!m_pinch) {
            m_pinch = m_window->beginPinch(point);
            m_pinchScale = 1;
        }
        if (!m_pinch) return;
        m_pinchScale *= std::pow(pinchStep, notchesY);
        m_pinch->change(m_pinchScale);
        cancelTimer(m_pinchTimer);
        m_pinchTimer = loop->schedule(loop->now() + dispatch::seconds(pinchRest), [this] {
            // `this` lives as long as the window's input, which cancels the timer when it goes.
            m_pinchTimer = 0;
            if (auto pinch = std::exchange(m_pinch, nullptr)) pinch->end();
        });
        return;
    }
    auto view = scrollViewAt(point);
    if (!view) return;
    const auto offset = view->contentOffset();
    scroll(*view, {offset.x + notchesX * wheelStep, offset.y - notchesY * wheelStep});
}

}  // namespace display
