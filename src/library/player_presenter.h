#pragma once

#include <memory>

#include "core/video.h"
#include "platform/ui/controllers/view_controller.h"

namespace reelhaven {

class MediaCenterService;
class ProgressClient;
class VideoManager;

// The player for `video`, made by the storyboard "Reelhaven" (scene "player") with a new
// PlaybackInfo: not restored, controls hidden at first, no speed given. It dissolves in.
std::shared_ptr<ui::ViewController> makePlayerController(std::shared_ptr<ProgressClient> progressClient,
                                                         std::shared_ptr<VideoManager> videoManager, VideoPtr video,
                                                         std::shared_ptr<MediaCenterService> mediaCenterService);

}  // namespace reelhaven
