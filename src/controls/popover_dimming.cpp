#include "controls/popover_dimming.h"

#include "controls/video_control_view.h"
#include "platform/base/fatal.h"
#include "platform/ui/controllers/view_controller.h"

namespace reelhaven {

std::shared_ptr<PlayerScreen> presentingPlayer(const ui::ViewController& popover) {
    return std::dynamic_pointer_cast<PlayerScreen>(popover.presentingViewController());
}

void dimPlayerButtons(const ui::ViewController& popover, const std::function<void(VideoControlView&)>& dim) {
    auto player = presentingPlayer(popover);
    if (!player) return;
    auto controls = player->controlView();
    if (!controls) base::fatal("The presenting player has no control view");
    ui::View::animate(0.3, [controls, dim] { dim(*controls); });
}

}  // namespace reelhaven
