#pragma once

#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A continuous drag: `begin` at a point, `move` by a translation with a velocity, `end`.
class PanGestureRecognizer : public GestureRecognizer {
public:
    static std::shared_ptr<PanGestureRecognizer> create(const std::shared_ptr<void>& target = nullptr,
                                                        Action action = {});
    std::string className() const override { return "PanGestureRecognizer"; }

    // Translation and velocity are the same in every view here (transforms are not modelled).
    Point translation(const View* /*view*/ = nullptr) const { return m_translation; }
    void setTranslation(Point translation, const View* /*view*/ = nullptr) {
        checkMainThread();
        m_translation = translation;
    }
    Point velocity(const View* /*view*/ = nullptr) const { return m_velocity; }
    int minimumNumberOfTouches() const { return m_minTouches; }
    void setMinimumNumberOfTouches(int touches) {
        checkMainThread();
        m_minTouches = touches;
    }
    int maximumNumberOfTouches() const { return m_maxTouches; }
    void setMaximumNumberOfTouches(int touches) {
        checkMainThread();
        m_maxTouches = touches;
    }

    bool begin(Point locationInWindow, int touches = 1);
    // `translation` is the total since `begin`.
    void move(Point translation, Point velocity = {});
    void end(Point velocity = {});
    void cancel();

protected:
    PanGestureRecognizer() = default;

private:
    Point m_start;
    Point m_translation;
    Point m_velocity;
    int m_minTouches = 1;
    int m_maxTouches = 1000;
};

}  // namespace ui
