#pragma once

#include <functional>
#include <memory>

#include "playback/model/player_screen.h"

namespace ui {
class ViewController;
}

namespace reelhaven {

class VideoControlView;

// The player that presents `popover`, or none.
std::shared_ptr<PlayerScreen> presentingPlayer(const ui::ViewController& popover);

// Inside a 0.3 s animation, `dim` on the presenting player's control bar; nothing without a
// presenting player. A player without its control bar is a programming error.
void dimPlayerButtons(const ui::ViewController& popover, const std::function<void(VideoControlView&)>& dim);

}  // namespace reelhaven
