#include "controls/progress_label_texts.h"

#include <algorithm>
#include <cmath>

#include "controls/time_text.h"

namespace reelhaven {
ProgressLabelTexts progressLabelTexts(double progress, double duration, ProgressLabelStyle style) {
    // 0 also for -0.0 and NaN, so the label never reads "-0:00".
    const double shown = std::isnan(progress) ? 0.0 : std::max(progress, 0.0) + 0.0;
    ProgressLabelTexts texts;
    texts.progress = timeText(shown);
    if (style == ProgressLabelStyle::progressTimeRemaining) {
        texts.duration = timeText(-(std::round(duration) - shown));
    } else {
        texts.duration = timeText(duration);
    }
    return texts;
}

}  // namespace reelhaven
