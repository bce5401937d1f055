#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<TapGestureRecognizer> TapGestureRecognizer::create(const std::shared_ptr<void>& target, Action action) {
    auto recognizer = make<TapGestureRecognizer>();
    if (action) recognizer->addTarget(target, std::move(action));
    return recognizer;
}

bool TapGestureRecognizer::tap(Point locationInWindow, int taps, int touches) {
    checkMainThread();
    if (taps < 0) taps = m_taps;
    if (touches < 0) touches = m_touchesRequired;
    if (!startGesture(locationInWindow, touches)) return false;
    if (taps != m_taps || touches != m_touchesRequired) {
        moveTo(GestureRecognizerState::failed);
        return false;
    }
    moveTo(GestureRecognizerState::ended);
    return true;
}

}  // namespace ui
