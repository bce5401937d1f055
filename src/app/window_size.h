#pragma once

#include "platform/ui/views/size.h"

namespace reelhaven {

// The smallest window every screen lays out in without overlap: a phone's short side both ways,
// so a phone's portrait (390 wide) and landscape (390 tall) screens fit. Below it the player's
// bottom bar leaves its scrubber no width and the library's search field covers the bar's buttons.
inline constexpr ui::Size kMinimumWindowSize{390, 390};

}  // namespace reelhaven
