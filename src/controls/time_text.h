#pragma once

#include <string>

#include "platform/ui/text/font.h"

namespace reelhaven {

// The playback time text of the controls' labels; "0:00" for a time that is not finite.
std::string timeText(double seconds);

// An installed font at `size` with monospaced digits; a font the program ships, so a missing one
// is a programming error (fatal).
ui::Font monospacedDigitFont(const std::string& name, double size);

}  // namespace reelhaven
