#pragma once

#include <cstdint>
#include <memory>

#include "platform/ui/controls/control.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// Steps a value between limits: a finger on the minus half steps down by `stepValue`, on the plus
// half up, clamped to the limits unless the stepper `wraps` round them. The value changes when
// the finger goes down; held there it steps again after `autorepeatDelay` and then every
// `autorepeatInterval` (on the main run loop's clock) while `autorepeat` is on. A continuous
// stepper sends "value changed" on every step, another once when the finger lifts. At a limit
// the half that would leave it is disabled (never while wrapping). Main thread only.
class Stepper : public Control {
public:
    enum class Half { minus, plus };

    static constexpr Size size{94, 29};
    static constexpr double autorepeatDelay = 0.5;
    static constexpr double autorepeatInterval = 0.1;

    static std::shared_ptr<Stepper> create(const Rect& frame = {});
    std::string className() const override { return "Stepper"; }
    Size intrinsicContentSize() const override { return size; }
    Size sizeThatFits(Size) const override { return size; }

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
    bool autorepeat() const { return m_autorepeat; }
    void setAutorepeat(bool autorepeat) {
        checkMainThread();
        m_autorepeat = autorepeat;
    }
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) {
        checkMainThread();
        m_continuous = continuous;
    }

    // The half a finger presses, in the stepper's own coordinates, and whether it steps now.
    Rect halfFrame(Half half) const;
    bool isHalfEnabled(Half half) const;

    bool beginTracking(const Touch& touch) override;
    void endTracking(const Touch* touch) override;
    void cancelTracking() override;

protected:
    explicit Stepper(const Rect& frame) : Control(frame) {}

private:
    // One step of the pressed half; false at a limit.
    bool step();
    void scheduleRepeat(double after);
    void stopTracking();

    double m_value = 0;
    double m_minimum = 0;
    double m_maximum = 100;
    double m_step = 1;
    bool m_wraps = false;
    bool m_autorepeat = true;
    bool m_continuous = true;
    Half m_pressed = Half::plus;
    bool m_changedWhilePressed = false;
    std::uint64_t m_repeatTimer = 0;
};

}  // namespace ui
