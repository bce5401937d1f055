#include "platform/ui/gestures/gesture_recognizer.h"

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

void GestureRecognizer::addTarget(const std::shared_ptr<void>& target, Action action) {
    checkMainThread();
    m_targets.push_back({target, target != nullptr, std::move(action)});
}

void GestureRecognizer::setEnabled(bool enabled) {
    checkMainThread();
    m_enabled = enabled;
    if (!enabled && (m_state == GestureRecognizerState::began || m_state == GestureRecognizerState::changed))
        moveTo(GestureRecognizerState::cancelled);
}

Point GestureRecognizer::location(const View* view) const {
    return view ? view->convertFromWindow(m_location) : m_location;
}

bool GestureRecognizer::startGesture(Point locationInWindow, int touches) {
    m_state = GestureRecognizerState::possible;
    m_location = locationInWindow;
    m_touches = touches;
    if (!m_enabled || !view()) return false;
    touchesBegan({Touch{locationInWindow, locationInWindow, Touch::Phase::began, 1, view()}});
    if (auto d = delegate(); d && !d->gestureRecognizerShouldBegin(*this)) {
        m_state = GestureRecognizerState::failed;
        return false;
    }
    return true;
}

void GestureRecognizer::moveTo(GestureRecognizerState state) {
    m_state = state;
    if (state == GestureRecognizerState::possible || state == GestureRecognizerState::failed) return;
    auto self = sharedAs<GestureRecognizer>();  // actions may drop the last outside reference
    const auto targets = m_targets;
    for (const auto& t : targets) {
        if (t.hasTarget && t.target.expired()) continue;
        if (t.action) t.action(*this);
    }
}

}  // namespace ui
