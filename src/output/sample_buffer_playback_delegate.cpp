#include "output/sample_buffer_playback_delegate.h"

#include "platform/ui/views/platform_version.h"

namespace reelhaven {

std::shared_ptr<SampleBufferPlaybackDelegate> SampleBufferPlaybackDelegate::create(PlaybackInfoPtr playbackInfo) {
    return std::shared_ptr<SampleBufferPlaybackDelegate>(new SampleBufferPlaybackDelegate(std::move(playbackInfo)));
}

PlaybackInfoPtr SampleBufferPlaybackDelegate::playbackInfo() const {
    std::lock_guard lock(m_mutex);
    return m_playbackInfo;
}

void SampleBufferPlaybackDelegate::setPlaybackInfo(PlaybackInfoPtr info) {
    std::lock_guard lock(m_mutex);
    m_playbackInfo = std::move(info);
}

void SampleBufferPlaybackDelegate::setPlaying(media::PictureInPictureController&, bool playing) {
    if (auto delegate = controlDelegate.lock()) delegate->setPaused(!playing, true);
}

media::TimeRange SampleBufferPlaybackDelegate::timeRangeForPlayback(media::PictureInPictureController& controller) {
    const media::TimeRange unbounded{media::Time::zero(), media::Time::positiveInfinity()};
    if (!ui::PlatformVersion::isAtLeast(15)) return unbounded;
    auto info = playbackInfo();
    auto duration = info ? info->duration() : std::nullopt;
    auto layer = controller.contentSource().sampleBufferDisplayLayer.lock();
    if (!duration || !layer) return unbounded;
    const media::Time now = layer->timebase().time();
    const auto start = media::Time::makeWithSeconds(now.seconds() - info->progress(), now.timescale);
    const auto end = media::Time::makeWithSeconds(*duration + start.seconds(), now.timescale);
    return {start, media::Time::make(end.value - start.value, now.timescale)};
}

bool SampleBufferPlaybackDelegate::isPlaybackPaused(media::PictureInPictureController&) {
    auto info = playbackInfo();
    return info && info->isPaused();
}

void SampleBufferPlaybackDelegate::didTransitionToRenderSize(media::PictureInPictureController&,
                                                             media::VideoDimensions size) {
    renderingSizeSubject.send(size);
}

void SampleBufferPlaybackDelegate::skipByInterval(media::PictureInPictureController&, media::Time interval,
                                                  std::function<void()> completion) {
    if (auto delegate = controlDelegate.lock()) delegate->seekBy(interval.seconds());
    if (completion) completion();
}

}  // namespace reelhaven
