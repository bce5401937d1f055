#pragma once

namespace ui {

class GestureRecognizer;
struct Touch;

// The questions a recogniser asks its delegate (held weakly); unanswered ones keep the defaults.
class GestureRecognizerDelegate {
public:
    virtual ~GestureRecognizerDelegate() = default;
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer& /*recognizer*/) { return true; }
    virtual bool shouldRecognizeSimultaneously(GestureRecognizer& /*recognizer*/, GestureRecognizer& /*other*/) {
        return false;
    }
    virtual bool shouldReceiveTouch(GestureRecognizer& /*recognizer*/, const Touch& /*touch*/) { return true; }
    virtual bool shouldRequireFailureOf(GestureRecognizer& /*recognizer*/, GestureRecognizer& /*other*/) {
        return false;
    }
};

}  // namespace ui
