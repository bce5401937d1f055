#pragma once

#include <memory>

namespace reelhaven {

class PlaybackInfo;

// How the control bar, the video menu, the media centre, the renderer and the picture-in-picture
// delegate drive the player. Implemented by the player screen; every holder keeps it weakly.
// Called on the main thread.
class VideoControlDelegate {
public:
    virtual ~VideoControlDelegate() = default;

    virtual void setPaused(bool paused, bool updateUI) = 0;
    virtual void seekBy(double seconds) = 0;
    virtual void seekTo(double seconds) = 0;
    virtual void skipForward() = 0;
    virtual void skipBackward() = 0;
    virtual void selectChapter(int index) = 0;
    // Leaves the player; `finished` marks the video watched to its end.
    virtual void close(bool finished) = 0;
    virtual void updateProgressLabelWidths() = 0;
    virtual void toggleAspectRatio() = 0;
    virtual void showAudioSubtitlePopover() = 0;
    virtual void showOptionsPopover() = 0;
    virtual void showVideoMenuPopover() = 0;
    // The record of the video being played; the media centre's toggles read its pause state.
    virtual std::shared_ptr<PlaybackInfo> playbackInfo() const = 0;
};

}  // namespace reelhaven
