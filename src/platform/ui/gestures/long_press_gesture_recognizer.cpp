#include "platform/ui/gestures/long_press_gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<LongPressGestureRecognizer> LongPressGestureRecognizer::create(const std::shared_ptr<void>& target,
                                                                               Action action) {
    auto recognizer = make<LongPressGestureRecognizer>();
    if (action) recognizer->addTarget(target, std::move(action));
    return recognizer;
}

bool LongPressGestureRecognizer::press(Point locationInWindow) {
    checkMainThread();
    if (!startGesture(locationInWindow, 1)) return false;
    moveTo(GestureRecognizerState::began);
    return true;
}

void LongPressGestureRecognizer::move(Point locationInWindow) {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    setLocation(locationInWindow);
    moveTo(GestureRecognizerState::changed);
}

void LongPressGestureRecognizer::release() {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    moveTo(GestureRecognizerState::ended);
}

}  // namespace ui
