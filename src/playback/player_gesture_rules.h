#pragma once

#include <optional>

#include "core/content_mode.h"

// The arithmetic of the player's pan and pinch gestures, apart from the screen that applies it.
namespace reelhaven::gesture_rules {

// Points a pan travels before it counts as vertical or horizontal.
inline constexpr double kDeadZone = 40;

// The dead-zone offset of a pan for translation `t`: the first time `t` leaves the zone the
// offset (-40 or +40) is stored in `origin` and kept for the rest of the pan, so the value changes
// from the moment the finger left the zone and starts from zero there. 0 until then.
double deadZoneOffset(std::optional<double>& origin, double t);

// A level (volume, brightness, 0...1) after a vertical pan of `distance` points (upward is
// negative) from `initial`, with `fullRange` points for the whole range.
double panLevel(double initial, double distance, double fullRange);

// Whether a new level is worth applying: a change of at least `step` since the last applied
// level (0 when none), or exactly 0, which always applies so the bottom can be reached.
bool levelChangeApplies(double level, std::optional<double> last, double step);

// The seek flag of a pan seek by `offset` seconds, or none when the throttle holds it back.
// Nothing within half a second of the start. A fast pan (over 350 points/s) on a long video
// (over 300 s) waits for 0.8 s of change and jumps forward over 3 s by keyframe; otherwise the
// pan seeks exactly after a change of about one frame at 24 fps.
std::optional<const char*> panSeekFlag(double offset, std::optional<double> lastPanSeek, double velocity,
                                       double duration);

// Whether pinches and the aspect button step through three modes: a video wider than the view
// on a screen with side insets, where "fit unsafe" fills the width into the insets.
bool usesThreeStepLadder(double videoAspect, double viewAspect, double leftInset, double rightInset);

// The mode a pinch of cumulative `scale` moves to (over 1.6 in, under 0.6 out), or none.
std::optional<ContentMode> pinchedContentMode(ContentMode mode, double scale, bool threeSteps);

// The mode the aspect button moves to: round the three-step ladder (fit, fit unsafe, fill), or
// between fill and fit, where any other mode goes to fill.
ContentMode toggledContentMode(ContentMode mode, bool threeSteps);

}  // namespace reelhaven::gesture_rules
