#pragma once

#include <string>

#include "playback/model/progress_label_style.h"

namespace reelhaven {

// What the bottom bar's two time labels read.
struct ProgressLabelTexts {
    std::string progress;
    std::string duration;
};

// The progress (never below 0) and, by `style`, the duration as given or the time remaining to
// the duration rounded to whole seconds (halves away from zero), with "-" while some remains.
ProgressLabelTexts progressLabelTexts(double progress, double duration, ProgressLabelStyle style);

}  // namespace reelhaven
