#include "platform/ui/controls/stepper.h"
#include "platform/ui/views/main_thread_check.h"

#include <algorithm>

namespace ui {

std::shared_ptr<Stepper> Stepper::create(const Rect& frame) { return make<Stepper>(frame); }

void Stepper::setValue(double value) {
    checkMainThread();
    m_value = std::clamp(value, m_minimum, std::max(m_minimum, m_maximum));
}

bool Stepper::stepBy(double delta) {
    if (!isEnabled()) return false;
    const double before = m_value;
    double next = m_value + delta;
    if (m_wraps) {
        if (next > m_maximum) next = m_minimum;
        if (next < m_minimum) next = m_maximum;
    }
    setValue(next);
    if (m_value == before) return false;
    sendActions(valueChanged);
    return true;
}

bool Stepper::increment() {
    checkMainThread();
    return stepBy(m_step);
}
bool Stepper::decrement() {
    checkMainThread();
    return stepBy(-m_step);
}

}  // namespace ui
