#include "platform/media/picture_in_picture_controller.h"

#include "platform/ui/views/main_thread_check.h"

namespace media {

std::shared_ptr<PictureInPictureController> PictureInPictureController::create(
    PictureInPictureContentSource contentSource) {
    return std::shared_ptr<PictureInPictureController>(new PictureInPictureController(std::move(contentSource)));
}

std::shared_ptr<PictureInPictureSampleBufferPlaybackDelegate> PictureInPictureController::playbackDelegate() const {
    return m_contentSource.sampleBufferPlaybackDelegate.lock();
}

template <typename F>
void PictureInPictureController::tellDelegate(F&& call) {
    if (auto delegate = m_delegate.lock()) call(*delegate);
}

bool PictureInPictureController::isPictureInPicturePossible() const {
    return !m_contentSource.sampleBufferDisplayLayer.expired() && playbackDelegate() != nullptr;
}

void PictureInPictureController::invalidatePlaybackState() {
    ui::checkMainThread();
    ++m_invalidations;
    if (auto delegate = playbackDelegate()) {
        m_shownPaused = delegate->isPlaybackPaused(*this);
        m_shownTimeRange = delegate->timeRangeForPlayback(*this);
    }
}

void PictureInPictureController::startPictureInPicture() {
    ui::checkMainThread();
    if (m_active.value()) return;
    if (!isPictureInPicturePossible()) {
        auto error = foundation::Error{"PictureInPicture", -1001, "picture in picture is not possible"};
        tellDelegate([&](auto& delegate) { delegate.failedToStartPictureInPicture(*this, error); });
        return;
    }
    auto self = shared_from_this();  // a delegate may drop its controller while it is told
    tellDelegate([&](auto& delegate) { delegate.willStartPictureInPicture(*this); });
    m_active.send(true);
    tellDelegate([&](auto& delegate) { delegate.didStartPictureInPicture(*this); });
}

void PictureInPictureController::stopPictureInPicture() {
    ui::checkMainThread();
    if (!m_active.value()) return;
    auto self = shared_from_this();
    tellDelegate([&](auto& delegate) { delegate.willStopPictureInPicture(*this); });
    m_active.send(false);
    tellDelegate([&](auto& delegate) { delegate.didStopPictureInPicture(*this); });
}

void PictureInPictureController::resize(VideoDimensions size) {
    ui::checkMainThread();
    if (auto delegate = playbackDelegate()) delegate->didTransitionToRenderSize(*this, size);
}

void PictureInPictureController::setPlaying(bool playing) {
    ui::checkMainThread();
    if (auto delegate = playbackDelegate()) delegate->setPlaying(*this, playing);
}

bool PictureInPictureController::skip(double intervalSeconds) {
    ui::checkMainThread();
    auto delegate = playbackDelegate();
    if (!delegate) return false;
    // Shared: a delegate may keep the completion and call it later.
    auto completed = std::make_shared<bool>(false);
    delegate->skipByInterval(*this, Time::makeWithSeconds(intervalSeconds, 1000), [completed] { *completed = true; });
    return *completed;
}

}  // namespace media
