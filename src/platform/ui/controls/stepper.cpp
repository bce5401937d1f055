#include "platform/ui/controls/stepper.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/gestures/touch.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<Stepper> Stepper::create(const Rect& frame) { return make<Stepper>(frame); }

void Stepper::setValue(double value) {
    checkMainThread();
    m_value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
}

Rect Stepper::halfFrame(Half half) const {
    // A stepper never laid out is touched as if it had its own size.
    const Rect b = bounds().isEmpty() ? Rect({0, 0}, size) : bounds();
    const double width = b.size.width / 2;
    return {half == Half::minus ? b.origin.x : b.origin.x + width, b.origin.y, width, b.size.height};
}

bool Stepper::isHalfEnabled(Half half) const {
    if (!isEnabled()) return false;
    if (m_wraps) return true;
    return half == Half::plus ? m_value < m_maximum : m_value > m_minimum;
}

bool Stepper::step() {
    if (!isHalfEnabled(m_pressed)) return false;
    double next = m_value + (m_pressed == Half::plus ? m_step : -m_step);
    // Wrapping goes round to the other limit rather than stopping at this one.
    if (m_wraps && next > m_maximum) next = m_minimum;
    if (m_wraps && next < m_minimum) next = m_maximum;
    // Steps of a tenth do not add up exactly in binary: a value a rounding error away from a
    // limit is that limit, so 0.4 - 3 x 0.1 ends at 0.1 with its minus half disabled.
    const double tolerance = std::abs(m_step) * 1e-9;
    if (std::abs(next - m_minimum) < tolerance) next = m_minimum;
    if (std::abs(next - m_maximum) < tolerance) next = m_maximum;
    const double before = m_value;
    setValue(next);
    if (m_value == before) return false;
    m_changedWhilePressed = true;
    noteReaction();
    if (m_continuous) sendActions(valueChanged);
    return true;
}

bool Stepper::beginTracking(const Touch& touch) {
    const Point at = touch.location(this);
    m_pressed = halfFrame(Half::minus).contains(at) ? Half::minus : Half::plus;
    m_changedWhilePressed = false;
    if (!step()) return false;
    if (m_autorepeat) scheduleRepeat(autorepeatDelay);
    return true;
}

void Stepper::scheduleRepeat(double after) {
    auto loop = dispatch::RunLoop::main();
    std::weak_ptr<Stepper> weak = sharedAs<Stepper>();
    m_repeatTimer = loop->schedule(loop->now() + dispatch::seconds(after), [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->m_repeatTimer = 0;
        if (self->isTouched() && self->step()) self->scheduleRepeat(autorepeatInterval);
    });
}

void Stepper::stopTracking() {
    if (m_repeatTimer) dispatch::RunLoop::main()->cancel(std::exchange(m_repeatTimer, 0));
    if (!m_continuous && std::exchange(m_changedWhilePressed, false)) sendActions(valueChanged);
}

void Stepper::endTracking(const Touch*) { stopTracking(); }
void Stepper::cancelTracking() { stopTracking(); }

}  // namespace ui
