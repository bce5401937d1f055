#include "controls/time_text.h"

#include "core/video_time.h"
#include "platform/base/fatal.h"
#include "toolkit/monospaced_digits.h"

namespace reelhaven {

std::string timeText(double seconds) { return VideoTime::timeString(seconds).value_or("0:00"); }

ui::Font monospacedDigitFont(const std::string& name, double size) {
    auto font = ui::Font::named(name, size);
    if (!font) base::fatal("Missing font " + name);
    return ui::Font::fromDescriptor(withMonospacedDigits(font->fontDescriptor()), 0);
}

}  // namespace reelhaven
