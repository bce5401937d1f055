#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<PinchGestureRecognizer> PinchGestureRecognizer::create(const std::shared_ptr<void>& target,
                                                                       Action action) {
    auto recognizer = make<PinchGestureRecognizer>();
    if (action) recognizer->addTarget(target, std::move(action));
    return recognizer;
}

bool PinchGestureRecognizer::begin(Point locationInWindow) {
    checkMainThread();
    m_scale = 1;
    m_velocity = 0;
    if (!startGesture(locationInWindow, 2)) return false;
    moveTo(GestureRecognizerState::began);
    return true;
}

void PinchGestureRecognizer::change(double scale, double velocity) {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    m_scale = scale;
    m_velocity = velocity;
    moveTo(GestureRecognizerState::changed);
}

void PinchGestureRecognizer::end() {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    moveTo(GestureRecognizerState::ended);
}

void PinchGestureRecognizer::cancel() {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    moveTo(GestureRecognizerState::cancelled);
}

}  // namespace ui
