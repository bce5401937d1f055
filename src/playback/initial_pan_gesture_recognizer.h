#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/views/point.h"

namespace reelhaven {

// A pan recogniser that remembers where the finger first touched, in its view's coordinates:
// the player decides from it whether a vertical pan changes the volume (right edge) or the
// brightness (left edge). Main thread only, like every recogniser.
class InitialPanGestureRecognizer : public ui::PanGestureRecognizer {
public:
    static std::shared_ptr<InitialPanGestureRecognizer> create(const std::shared_ptr<void>& target = nullptr,
                                                               Action action = {});
    std::string className() const override { return "InitialPanGestureRecognizer"; }

    // Refreshed at every touches-began; none before the first touch or after an empty set.
    std::optional<ui::Point> initialTouchLocation() const { return m_initialTouchLocation; }

    void touchesBegan(const std::vector<ui::Touch>& touches) override;

protected:
    InitialPanGestureRecognizer() = default;

private:
    std::optional<ui::Point> m_initialTouchLocation;
};

}  // namespace reelhaven
