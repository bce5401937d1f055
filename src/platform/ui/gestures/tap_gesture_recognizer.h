#pragma once

#include "platform/ui/gestures/gesture_recognizer.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A discrete tap: `tap` recognises at once (state ended) and sends the actions.
class TapGestureRecognizer : public GestureRecognizer {
public:
    static std::shared_ptr<TapGestureRecognizer> create(const std::shared_ptr<void>& target = nullptr,
                                                        Action action = {});
    std::string className() const override { return "TapGestureRecognizer"; }

    int numberOfTapsRequired() const { return m_taps; }
    void setNumberOfTapsRequired(int taps) {
        checkMainThread();
        m_taps = taps;
    }
    int numberOfTouchesRequired() const { return m_touchesRequired; }
    void setNumberOfTouchesRequired(int touches) {
        checkMainThread();
        m_touchesRequired = touches;
    }

    // A tap with `taps` taps of `touches` fingers at a point in the window; recognised only when
    // the counts are the required ones. Returns whether it was recognised.
    bool tap(Point locationInWindow, int taps = -1, int touches = -1);

protected:
    TapGestureRecognizer() = default;

private:
    int m_taps = 1;
    int m_touchesRequired = 1;
};

}  // namespace ui
