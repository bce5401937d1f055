#pragma once

#include <memory>

#include "platform/ui/controls/control.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// Steps a value up or down between limits; `increment` and `decrement` act as the user's taps.
class Stepper : public Control {
public:
    static std::shared_ptr<Stepper> create(const Rect& frame = {});
    std::string className() const override { return "Stepper"; }

    double value() const { return m_value; }
    void setValue(double value);
    double minimumValue() const { return m_minimum; }
    void setMinimumValue(double minimum) {
        m_minimum = minimum;
        setValue(m_value);
    }
    double maximumValue() const { return m_maximum; }
    void setMaximumValue(double maximum) {
        m_maximum = maximum;
        setValue(m_value);
    }
    double stepValue() const { return m_step; }
    void setStepValue(double step) {
        checkMainThread();
        m_step = step;
    }
    bool wraps() const { return m_wraps; }
    void setWraps(bool wraps) {
        checkMainThread();
        m_wraps = wraps;
    }

    // Return whether the value changed (and "value changed" was sent).
    bool increment();
    bool decrement();

protected:
    explicit Stepper(const Rect& frame) : Control(frame) {}

private:
    bool stepBy(double delta);

    double m_value = 0;
    double m_minimum = 0;
    double m_maximum = 100;
    double m_step = 1;
    bool m_wraps = false;
};

}  // namespace ui
