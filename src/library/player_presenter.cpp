#include "library/player_presenter.h"

#include "platform/ui/controllers/storyboard.h"
#include "playback/media_center_service.h"
#include "playback/model/playback_info.h"
#include "playback/reelhaven_storyboard.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

std::shared_ptr<ui::ViewController> makePlayerController(std::shared_ptr<ProgressClient> progressClient,
                                                         std::shared_ptr<VideoManager> videoManager, VideoPtr video,
                                                         std::shared_ptr<MediaCenterService> mediaCenterService) {
    registerReelhavenStoryboard();
    auto info = PlaybackInfo::create(std::move(progressClient), std::move(videoManager), std::move(video), false, true,
                                     std::nullopt);
    auto player =
        ui::Storyboard::named(ReelhavenViewController::kStoryboardName)
            ->instantiateViewController(ReelhavenViewController::kStoryboardIdentifier,
                                        [&](const ui::Coder& coder) -> std::shared_ptr<ui::ViewController> {
                                            return ReelhavenViewController::create(coder, info, mediaCenterService);
                                        });
    player->setModalTransitionStyle(ui::ModalTransitionStyle::crossDissolve);
    return player;
}

}  // namespace reelhaven
