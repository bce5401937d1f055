#include "playback/initial_pan_gesture_recognizer.h"

#include "platform/ui/views/view.h"

namespace reelhaven {

std::shared_ptr<InitialPanGestureRecognizer> InitialPanGestureRecognizer::create(const std::shared_ptr<void>& target,
                                                                                 Action action) {
    auto recognizer = ui::make<InitialPanGestureRecognizer>();
    if (action) recognizer->addTarget(target, std::move(action));
    return recognizer;
}

void InitialPanGestureRecognizer::touchesBegan(const std::vector<ui::Touch>& touches) {
    PanGestureRecognizer::touchesBegan(touches);
    if (touches.empty()) {
        m_initialTouchLocation.reset();
        return;
    }
    auto in = view();
    m_initialTouchLocation = touches.front().location(in.get());
}

}  // namespace reelhaven
