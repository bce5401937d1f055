#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<PanGestureRecognizer> PanGestureRecognizer::create(const std::shared_ptr<void>& target, Action action) {
    auto recognizer = make<PanGestureRecognizer>();
    if (action) recognizer->addTarget(target, std::move(action));
    return recognizer;
}

bool PanGestureRecognizer::begin(Point locationInWindow, int touches) {
    checkMainThread();
    m_translation = {};
    m_velocity = {};
    m_start = locationInWindow;
    if (touches < m_minTouches || touches > m_maxTouches) {
        startGesture(locationInWindow, touches);
        moveTo(GestureRecognizerState::failed);
        return false;
    }
    if (!startGesture(locationInWindow, touches)) return false;
    moveTo(GestureRecognizerState::began);
    return true;
}

void PanGestureRecognizer::move(Point translation, Point velocity) {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    m_translation = translation;
    m_velocity = velocity;
    setLocation(m_start + translation);
    moveTo(GestureRecognizerState::changed);
}

void PanGestureRecognizer::end(Point velocity) {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    m_velocity = velocity;
    moveTo(GestureRecognizerState::ended);
}

void PanGestureRecognizer::cancel() {
    checkMainThread();
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    moveTo(GestureRecognizerState::cancelled);
}

}  // namespace ui
