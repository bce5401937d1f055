#pragma once

#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A two-finger pinch: `begin`, `change` to a scale (1 = the start), `end`.
class PinchGestureRecognizer : public GestureRecognizer {
public:
    static std::shared_ptr<PinchGestureRecognizer> create(const std::shared_ptr<void>& target = nullptr,
                                                          Action action = {});
    std::string className() const override { return "PinchGestureRecognizer"; }

    double scale() const { return m_scale; }
    void setScale(double scale) {
        checkMainThread();
        m_scale = scale;
    }
    double velocity() const { return m_velocity; }

    bool begin(Point locationInWindow);
    void change(double scale, double velocity = 0);
    void end();
    void cancel();

protected:
    PinchGestureRecognizer() = default;

private:
    double m_scale = 1;
    double m_velocity = 0;
};

}  // namespace ui
