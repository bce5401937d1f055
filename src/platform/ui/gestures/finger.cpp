#include "platform/ui/gestures/finger.h"

#include <functional>
#include <utility>

#include "platform/ui/controls/control.h"
#include "platform/ui/controls/presented_menu.h"
#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/gestures/gesture_recognizer_delegate.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/gestures/touch.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {

// The nearest control from `hit` up that takes touches.
std::shared_ptr<Control> nearestControl(const std::shared_ptr<View>& hit) {
    for (auto v = hit; v; v = v->superview()) {
        if (auto control = std::dynamic_pointer_cast<Control>(v)) return control;
    }
    return nullptr;
}

}  // namespace

Finger::~Finger() {
    if (m_down) cancel();
}

std::shared_ptr<View> Finger::down(Point point, int touches, int taps) {
    checkMainThread();
    if (m_down) cancel();
    m_hit.reset();
    m_control.reset();
    m_receivers.clear();
    m_touches = touches;
    m_consumed = m_recognized = false;
    if (auto menu = m_window->presentedMenu()) {
        menu->close();
        m_consumed = true;
        return nullptr;
    }
    if (m_window->dismissPopoverOutside(point)) {
        m_consumed = true;
        return nullptr;
    }
    m_hit = m_window->hitTest(point);
    if (!m_hit) return nullptr;
    m_down = true;
    const Touch touch{point, point, Touch::Phase::began, taps, m_hit};
    for (auto v = m_hit; v; v = v->superview()) {
        const auto recognizers = v->gestureRecognizers();  // a delegate may change them
        for (const auto& recognizer : recognizers) {
            if (!recognizer->isEnabled()) continue;
            if (auto d = recognizer->delegate(); d && !d->shouldReceiveTouch(*recognizer, touch)) continue;
            m_receivers.push_back(recognizer);
        }
    }
    // Several fingers at once are no control's touch; they go to the recognisers.
    if (touches == 1) {
        auto control = nearestControl(m_hit);
        if (control) {
            m_reactionsBefore = control->reactions();
            if (control->touchDown(point, taps)) m_control = std::move(control);
        }
    }
    return m_hit;
}

std::shared_ptr<TapGestureRecognizer> Finger::tapRecognizer(int taps) const {
    for (const auto& recognizer : m_receivers) {
        auto tap = std::dynamic_pointer_cast<TapGestureRecognizer>(recognizer);
        if (tap && tap->isEnabled() && tap->numberOfTapsRequired() == taps) return tap;
    }
    return nullptr;
}

void Finger::move(Point point) {
    checkMainThread();
    if (!m_down) return;
    if (m_control) m_control->touchMove(point);
}

void Finger::up(Point point, int taps) {
    checkMainThread();
    if (!m_down) return;
    m_down = false;
    auto hit = std::exchange(m_hit, nullptr);
    auto tryTaps = [&](const std::function<bool(const View&)>& attachedWhere) {
        for (const auto& recognizer : m_receivers) {
            auto tap = std::dynamic_pointer_cast<TapGestureRecognizer>(recognizer);
            auto view = recognizer->view();
            if (!tap || !view || !attachedWhere(*view)) continue;
            if (tap->tap(point, taps, m_touches)) return true;
        }
        return false;
    };
    if (m_control) {
        // Recognisers on the control itself (or inside it) still come first.
        const auto control = m_control;
        if (tryTaps([&](const View& v) { return &v == control.get() || v.isDescendant(*control); })) {
            m_recognized = true;
            control->touchCancel();
            return;
        }
        // A touch the control gave up on (a held button's menu) ends with it.
        if (control->isTouched()) control->touchUp(point);
        return;
    }
    if (tryTaps([](const View&) { return true; })) {
        m_recognized = true;
        return;
    }
    if (m_touches > 1) {
        // No recogniser wanted the fingers: the control under them takes one tap.
        if (auto control = nearestControl(hit)) {
            m_reactionsBefore = control->reactions();
            m_control = control;
            if (control->touchDown(point)) control->touchUp(point);
            return;
        }
    }
    Touch touch{point, point, Touch::Phase::began, taps, hit};
    hit->touchesBegan({touch});
    touch.phase = Touch::Phase::ended;
    hit->touchesEnded({touch});
}

void Finger::cancel() {
    checkMainThread();
    if (!m_down) return;
    m_down = false;
    m_hit.reset();
    if (m_control) m_control->touchCancel();
}

bool Finger::changedSomething() const {
    return m_consumed || m_recognized || (m_control && m_control->reactions() != m_reactionsBefore);
}

}  // namespace ui
