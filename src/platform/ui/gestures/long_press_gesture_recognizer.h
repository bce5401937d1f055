#pragma once

#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A press held for `minimumPressDuration`: `press` begins it (the test stands for the wait),
// `move` changes it, `release` ends it.
class LongPressGestureRecognizer : public GestureRecognizer {
public:
    static std::shared_ptr<LongPressGestureRecognizer> create(const std::shared_ptr<void>& target = nullptr,
                                                              Action action = {});
    std::string className() const override { return "LongPressGestureRecognizer"; }

    double minimumPressDuration() const { return m_minimumPressDuration; }
    void setMinimumPressDuration(double seconds) {
        checkMainThread();
        m_minimumPressDuration = seconds;
    }
    double allowableMovement() const { return m_allowableMovement; }
    void setAllowableMovement(double points) {
        checkMainThread();
        m_allowableMovement = points;
    }

    bool press(Point locationInWindow);
    void move(Point locationInWindow);
    void release();

protected:
    LongPressGestureRecognizer() = default;

private:
    double m_minimumPressDuration = 0.5;
    double m_allowableMovement = 10;
};

}  // namespace ui
