#pragma once

#include <memory>

namespace reelhaven {

class Video;
// The player's control bar, defined with the controls; only named here.
class VideoControlView;

// What a popover calls on the player that presents it (main thread).
class PlayerScreen {
public:
    virtual ~PlayerScreen() = default;

    // Plays another video of the folder in this player with a new PlaybackInfo, after saving
    // the current video's progress. Presented popovers stay.
    virtual void switchToVideo(const std::shared_ptr<Video>& video) = 0;
    virtual void updateSubtitleFont() = 0;
    virtual void updateSubtitlePosition() = 0;
    // The player's control bar while the screen is loaded, else null.
    virtual std::shared_ptr<VideoControlView> controlView() const = 0;
    // The video menu's screenshot handler: a screenshot with or without subtitles; the player
    // posts "screenshotSucceeded" per saved picture or "screenshotFailed".
    virtual void takeScreenshot(bool withSubtitles) = 0;
};

}  // namespace reelhaven
