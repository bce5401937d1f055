#include "platform/ui/pan_gesture_recognizer.h"

namespace ui {

std::shared_ptr<PanGestureRecognizer> PanGestureRecognizer::create(const std::shared_ptr<void>& target, Action action) {
    auto recognizer = make<PanGestureRecognizer>();
    if (action) recognizer->addTarget(target, std::move(action));
    return recognizer;
}

bool PanGestureRecognizer::begin(Point locationInWindow, int touches) {
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
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    m_translation = translation;
    m_velocity = velocity;
    setLocation(m_start + translation);
    moveTo(GestureRecognizerState::changed);
}

void PanGestureRecognizer::end(Point velocity) {
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    m_velocity = velocity;
    moveTo(GestureRecognizerState::ended);
}

void PanGestureRecognizer::cancel() {
    if (state() != GestureRecognizerState::began && state() != GestureRecognizerState::changed) return;
    moveTo(GestureRecognizerState::cancelled);
}

}  // namespace ui
