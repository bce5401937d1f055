#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/foundation/current_value_subject.h"
#include "platform/foundation/error.h"
#include "platform/media/sample_buffer_display_layer.h"
#include "platform/media/time.h"

namespace media {

class PictureInPictureController;

// The size, in points, the picture-in-picture window renders at.
struct VideoDimensions {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const VideoDimensions&) const = default;
};

// What the window asks of the app that feeds it sample buffers. Main thread.
class PictureInPictureSampleBufferPlaybackDelegate {
public:
    virtual ~PictureInPictureSampleBufferPlaybackDelegate() = default;
    virtual void setPlaying(PictureInPictureController& controller, bool playing) = 0;
    virtual TimeRange timeRangeForPlayback(PictureInPictureController& controller) = 0;
    virtual bool isPlaybackPaused(PictureInPictureController& controller) = 0;
    virtual void didTransitionToRenderSize(PictureInPictureController& controller, VideoDimensions size) = 0;
    // `completion` must be called once the skip is done.
    virtual void skipByInterval(PictureInPictureController& controller, Time interval,
                                std::function<void()> completion) = 0;
};

// What the controller tells its delegate around starting and stopping. Main thread.
class PictureInPictureControllerDelegate {
public:
    virtual ~PictureInPictureControllerDelegate() = default;
    virtual void willStartPictureInPicture(PictureInPictureController&) {}
    virtual void didStartPictureInPicture(PictureInPictureController&) {}
    virtual void failedToStartPictureInPicture(PictureInPictureController&, const foundation::Error&) {}
    virtual void willStopPictureInPicture(PictureInPictureController&) {}
    virtual void didStopPictureInPicture(PictureInPictureController&) {}
};

// Where the window's pictures come from: a sample-buffer display layer and the playback delegate
// that answers for it. Both are held weakly, as the system holds them.
struct PictureInPictureContentSource {
    std::weak_ptr<SampleBufferDisplayLayer> sampleBufferDisplayLayer;
    std::weak_ptr<PictureInPictureSampleBufferPlaybackDelegate> sampleBufferPlaybackDelegate;
};

// The picture-in-picture window of one content source. The system side is driven by tests and the
// launcher: `startPictureInPicture`/`stopPictureInPicture` (also what the user's buttons do),
// `resize`, `setPlaying` and `skip`. Delegate calls run in the platform's order: will start, active,
// did start; will stop, inactive, did stop. Main thread only.
class PictureInPictureController : public std::enable_shared_from_this<PictureInPictureController> {
public:
    static bool isPictureInPictureSupported() { return true; }
    static std::shared_ptr<PictureInPictureController> create(PictureInPictureContentSource contentSource);

    const PictureInPictureContentSource& contentSource() const { return m_contentSource; }
    std::weak_ptr<PictureInPictureControllerDelegate> delegate() const { return m_delegate; }
    void setDelegate(std::weak_ptr<PictureInPictureControllerDelegate> delegate) { m_delegate = std::move(delegate); }
    bool canStartPictureInPictureAutomaticallyFromInline() const { return m_canStartAutomatically; }
    void setCanStartPictureInPictureAutomaticallyFromInline(bool can) { m_canStartAutomatically = can; }

    // Observable, as the product subscribes to it.
    foundation::CurrentValueSubject<bool>& isPictureInPictureActive() { return m_active; }
    // Possible while the content source's layer and playback delegate exist.
    bool isPictureInPicturePossible() const;

    // The app says play state or time range changed: the window asks the playback delegate again.
    void invalidatePlaybackState();
    std::size_t invalidationCount() const { return m_invalidations; }
    // What the window shows after the last ask (none before one).
    std::optional<bool> shownPaused() const { return m_shownPaused; }
    std::optional<TimeRange> shownTimeRange() const { return m_shownTimeRange; }

    // The system and user side.
    // Starts when possible and not active; else tells the delegate it failed (when not possible).
    void startPictureInPicture();
    // Does nothing when not active.
    void stopPictureInPicture();
    // The user resized the window; it reports its render size to the playback delegate.
    void resize(VideoDimensions size);
    // The window's play/pause button.
    void setPlaying(bool playing);
    // The window's skip buttons; returns whether the delegate called the completion before returning.
    bool skip(double intervalSeconds);

private:
    explicit PictureInPictureController(PictureInPictureContentSource contentSource)
        : m_contentSource(std::move(contentSource)) {}

    std::shared_ptr<PictureInPictureSampleBufferPlaybackDelegate> playbackDelegate() const;
    template <typename F>
    void tellDelegate(F&& call);

    PictureInPictureContentSource m_contentSource;
    std::weak_ptr<PictureInPictureControllerDelegate> m_delegate;
    bool m_canStartAutomatically = false;
    foundation::CurrentValueSubject<bool> m_active{false};
    std::size_t m_invalidations = 0;
    std::optional<bool> m_shownPaused;
    std::optional<TimeRange> m_shownTimeRange;
};

}  // namespace media
