#pragma once

#include <memory>
#include <optional>

#include "platform/ui/text/attributed_string.h"

namespace reelhaven {

// The value texts at the trailing side of option rows. A value at its neutral setting reads as a
// grey word or factor; any other value is plain text.

// "1×" in grey for normal speed (none counts as normal), else the speed rounded half-to-even to
// one place with "×": 1.25 gives "1.2×", 4 gives "4.0×".
std::shared_ptr<ui::AttributedString> speedText(std::optional<double> speed);
// "Off" in grey for no delay, else seconds with "s": "-0.5s".
std::shared_ptr<ui::AttributedString> delayText(double seconds);
// Points with "pt", always plain: "0.0pt", "3.0pt".
std::shared_ptr<ui::AttributedString> borderSizeText(double points);

}  // namespace reelhaven
