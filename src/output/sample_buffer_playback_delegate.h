#pragma once

#include <memory>
#include <mutex>

#include "platform/foundation/passthrough_subject.h"
#include "platform/media/picture_in_picture_controller.h"
#include "playback/model/playback_info.h"
#include "playback/model/video_control_delegate.h"

namespace reelhaven {

// Answers the picture-in-picture window's questions through the player: play and pause, skips,
// whether playback is paused, the time range its timeline shows, and the sizes it renders at.
//
// Threads: the window's calls arrive on the main thread; the renderer replaces the record from the
// render queue, so it is guarded.
class SampleBufferPlaybackDelegate : public media::PictureInPictureSampleBufferPlaybackDelegate {
public:
    static std::shared_ptr<SampleBufferPlaybackDelegate> create(PlaybackInfoPtr playbackInfo);

    std::weak_ptr<VideoControlDelegate> controlDelegate;
    // Every render size the window reports.
    foundation::PassthroughSubject<media::VideoDimensions> renderingSizeSubject;

    PlaybackInfoPtr playbackInfo() const;
    void setPlaybackInfo(PlaybackInfoPtr info);

    // Pauses or resumes through the player, with its interface updated.
    void setPlaying(media::PictureInPictureController& controller, bool playing) override;
    // The window's timeline, placed so that its present moment is the video's position; from
    // zero without end when the duration or the display layer is unknown.
    media::TimeRange timeRangeForPlayback(media::PictureInPictureController& controller) override;
    bool isPlaybackPaused(media::PictureInPictureController& controller) override;
    void didTransitionToRenderSize(media::PictureInPictureController& controller, media::VideoDimensions size) override;
    // A relative seek by the interval (negative backwards); the completion runs in any case.
    void skipByInterval(media::PictureInPictureController& controller, media::Time interval,
                        std::function<void()> completion) override;

private:
    explicit SampleBufferPlaybackDelegate(PlaybackInfoPtr playbackInfo) : m_playbackInfo(std::move(playbackInfo)) {}

    mutable std::mutex m_mutex;  // guards m_playbackInfo
    PlaybackInfoPtr m_playbackInfo;
};

}  // namespace reelhaven
