#include "playback/player_gesture_rules.h"

#include <algorithm>
#include <cmath>

namespace reelhaven::gesture_rules {

namespace {

constexpr double kFastPanVelocity = 350;  // points per second
constexpr double kLongVideo = 300;        // seconds
constexpr double kFastPanStep = 0.8;      // seconds of change between seeks
constexpr double kFrameStep = 0.04166;    // about one frame at 24 fps
constexpr double kKeyframeJump = 3.0;     // seconds forward
constexpr double kStartZone = 0.5;        // seconds around the start that never seek
constexpr double kPinchIn = 1.6;
constexpr double kPinchOut = 0.6;

}  // namespace

double deadZoneOffset(std::optional<double>& origin, double t) {
    if (!origin) {
        if (t > kDeadZone)
            origin = -kDeadZone;
        else if (t < -kDeadZone)
            origin = kDeadZone;
        else
            return 0;
    }
    return *origin;
}

double panLevel(double initial, double distance, double fullRange) {
    return std::clamp(initial + distance / -fullRange, 0.0, 1.0);
}

bool levelChangeApplies(double level, std::optional<double> last, double step) {
    return std::abs(level - last.value_or(0)) >= step || level == 0;
}

std::optional<const char*> panSeekFlag(double offset, std::optional<double> lastPanSeek, double velocity,
                                       double duration) {
    if (std::abs(offset) <= kStartZone) return std::nullopt;
    const double delta = std::abs(offset - lastPanSeek.value_or(0));
    if (std::abs(velocity) > kFastPanVelocity && duration > kLongVideo) {
        if (delta < kFastPanStep) return std::nullopt;
        return offset > kKeyframeJump ? "absolute+keyframes" : "absolute";
    }
    if (delta < kFrameStep) return std::nullopt;
    return "absolute";
}

bool usesThreeStepLadder(double videoAspect, double viewAspect, double leftInset, double rightInset) {
    return viewAspect < videoAspect && (leftInset > 0 || rightInset > 0);
}

std::optional<ContentMode> pinchedContentMode(ContentMode mode, double scale, bool threeSteps) {
    if (scale > kPinchIn) {
        if (mode == ContentMode::aspectFit) return threeSteps ? ContentMode::aspectFitUnsafe : ContentMode::aspectFill;
        if (mode == ContentMode::aspectFitUnsafe && threeSteps) return ContentMode::aspectFill;
    } else if (scale < kPinchOut) {
        if (mode == ContentMode::aspectFill) return threeSteps ? ContentMode::aspectFitUnsafe : ContentMode::aspectFit;
        if (mode == ContentMode::aspectFitUnsafe && threeSteps) return ContentMode::aspectFit;
    }
    return std::nullopt;
}

ContentMode toggledContentMode(ContentMode mode, bool threeSteps) {
    if (threeSteps) {
        return mode == ContentMode::aspectFit         ? ContentMode::aspectFitUnsafe
               : mode == ContentMode::aspectFitUnsafe ? ContentMode::aspectFill
                                                      : ContentMode::aspectFit;
    }
    return mode == ContentMode::aspectFill ? ContentMode::aspectFit : ContentMode::aspectFill;
}

}  // namespace reelhaven::gesture_rules
