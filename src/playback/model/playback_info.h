#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/content_mode.h"
#include "core/video.h"
#include "platform/foundation/current_value_subject.h"
#include "platform/foundation/data.h"
#include "platform/foundation/url.h"
#include "platform/ui/views/point.h"
#include "playback/model/chapter.h"
#include "playback/model/track.h"
#include "playback/model/video_menu_list_type.h"

namespace ui {
class UserActivity;
}

namespace reelhaven {

class ProgressClient;
class VideoManager;

// The state of the one video a player screen plays: where it comes from, how far it got, the
// per-video choices saved with its progress, what mpv reported about it, and small pieces of
// interface state that outlive a popover.
//
// Threads: the player writes it from the main thread and from its command queue; the renderer
// and the popovers read it on theirs. Every mutable field is guarded by `m_mutex`. The four
// published fields (`playbackSpeed`, `isHdr`, `isHwdec`, `currentChapter`) live in subjects that
// notify their subscribers on the writing thread, never with `m_mutex` held.
class PlaybackInfo : public std::enable_shared_from_this<PlaybackInfo> {
public:
    static constexpr const char* kActivityType = "com.qvrm.reelhaven.playVideo";

    // Restores the saved progress and choices of `video` when they apply (see the .cpp).
    static std::shared_ptr<PlaybackInfo> create(std::shared_ptr<ProgressClient> progressClient,
                                                std::shared_ptr<VideoManager> videoManager, VideoPtr video,
                                                bool isRestored, bool hideControls,
                                                std::optional<double> playbackSpeed);
    PlaybackInfo(const PlaybackInfo&) = delete;
    PlaybackInfo& operator=(const PlaybackInfo&) = delete;

    // Fixed at creation.
    // A number no other record of this process has, so a record can be told from one made
    // later where a freed one lay.
    std::uint64_t serial() const { return m_serial; }
    const std::shared_ptr<ProgressClient>& progressClient() const { return m_progressClient; }
    const std::shared_ptr<VideoManager>& videoManager() const { return m_videoManager; }
    const VideoPtr& video() const { return m_video; }
    const std::string& name() const { return m_name; }
    const foundation::URL& url() const { return m_url; }
    bool isSecurityScoped() const { return m_isSecurityScoped; }
    bool isRestored() const { return m_isRestored; }
    // The whole URL for a network stream ("https", "http", "ftp"), else `name`.
    std::string title() const;
    bool isNetworkStream() const;
    // Bookmark of `url`, made on first read; a failure is kept too (no data).
    std::optional<foundation::Data> bookmarkData() const;

    std::optional<double> duration() const;
    void setDuration(std::optional<double> duration);
    std::optional<double> aspectRatio() const;
    void setAspectRatio(std::optional<double> ratio);
    bool hideControls() const;
    void setHideControls(bool hide);
    bool isSeeking() const;
    void setIsSeeking(bool seeking);
    bool isPanSeeking() const;
    void setIsPanSeeking(bool seeking);
    bool isPaused() const;
    void setIsPaused(bool paused);
    std::optional<bool> isFinished() const;
    void setIsFinished(std::optional<bool> finished);
    double progress() const;
    void setProgress(double seconds);
    std::optional<ContentMode> contentMode() const;
    void setContentMode(std::optional<ContentMode> mode);
    std::optional<bool> deinterlace() const;
    void setDeinterlace(std::optional<bool> on);
    std::optional<bool> loop() const;
    void setLoop(std::optional<bool> on);
    std::optional<int> volume() const;
    void setVolume(std::optional<int> volume);

    // Published.
    std::optional<double> playbackSpeed() const { return m_playbackSpeed.value(); }
    void setPlaybackSpeed(std::optional<double> speed) { m_playbackSpeed.send(speed); }
    foundation::CurrentValueSubject<std::optional<double>>& playbackSpeedPublisher() { return m_playbackSpeed; }
    bool isHdr() const { return m_isHdr.value(); }
    void setIsHdr(bool hdr) { m_isHdr.send(hdr); }
    foundation::CurrentValueSubject<bool>& isHdrPublisher() { return m_isHdr; }
    bool isHwdec() const { return m_isHwdec.value(); }
    void setIsHwdec(bool hwdec) { m_isHwdec.send(hwdec); }
    foundation::CurrentValueSubject<bool>& isHwdecPublisher() { return m_isHwdec; }
    int currentChapter() const { return m_currentChapter.value(); }
    void setCurrentChapter(int index) { m_currentChapter.send(index); }
    foundation::CurrentValueSubject<int>& currentChapterPublisher() { return m_currentChapter; }

    // mpv's lists. Setting replaces the whole list, so a record filled twice holds one copy.
    std::vector<Chapter> chapters() const;
    void setChapters(std::vector<Chapter> chapters);
    std::vector<Track> videoTracks() const;
    std::vector<Track> audioTracks() const;
    std::vector<Track> subtitleTracks() const;
    void setTracks(std::vector<Track> video, std::vector<Track> audio, std::vector<Track> subtitle);

    std::optional<int> selectedAudioTrack() const;
    void setSelectedAudioTrack(std::optional<int> id);
    std::optional<int> selectedSubtitleTrack() const;
    void setSelectedSubtitleTrack(std::optional<int> id);
    Track activeAudioTrack() const;
    void setActiveAudioTrack(Track track);
    Track activeSubtitleTrack() const;
    void setActiveSubtitleTrack(Track track);

    std::optional<ui::Point> optionsScrollPosition() const;
    void setOptionsScrollPosition(std::optional<ui::Point> point);
    std::optional<ui::Point> audioSubtitleScrollPosition() const;
    void setAudioSubtitleScrollPosition(std::optional<ui::Point> point);
    std::optional<ui::Point> gesturesScrollPosition() const;
    void setGesturesScrollPosition(std::optional<ui::Point> point);
    std::optional<VideoMenuListType> videoMenuTab() const;
    void setVideoMenuTab(std::optional<VideoMenuListType> tab);

    // Merges the position and the choices into the progress store (the file is written later).
    void saveProgress();
    // The same with progress 0 and finished.
    void saveFinished();
    // A record for the next video of the folder at this record's speed; none for a file opened
    // from elsewhere or after the last video.
    std::shared_ptr<PlaybackInfo> nextVideo() const;
    // A record for `video` at this record's speed, after marking it played.
    std::shared_ptr<PlaybackInfo> forVideo(const VideoPtr& video) const;
    // A new activity each read, for state restoration.
    std::shared_ptr<ui::UserActivity> userActivity() const;

private:
    PlaybackInfo(std::shared_ptr<ProgressClient> progressClient, std::shared_ptr<VideoManager> videoManager,
                 VideoPtr video, bool isRestored, bool hideControls, std::optional<double> playbackSpeed);
    void restoreSavedChoices();
    void save(double progress, std::optional<bool> isFinished);

    const std::uint64_t m_serial;
    const std::shared_ptr<ProgressClient> m_progressClient;
    const std::shared_ptr<VideoManager> m_videoManager;
    const VideoPtr m_video;
    const std::string m_name;
    const foundation::URL m_url;
    const bool m_isSecurityScoped;
    const bool m_isRestored;

    mutable std::mutex m_mutex;  // guards every field below
    mutable std::optional<std::optional<foundation::Data>> m_bookmarkData;
    std::optional<double> m_duration;
    std::optional<double> m_aspectRatio;
    bool m_hideControls;
    bool m_isSeeking = false;
    bool m_isPanSeeking = false;
    bool m_isPaused = false;
    std::optional<bool> m_isFinished;
    double m_progress = 0;
    std::optional<ContentMode> m_contentMode;
    std::optional<bool> m_deinterlace;
    std::optional<bool> m_loop;
    std::optional<int> m_volume;
    std::vector<Chapter> m_chapters;
    std::vector<Track> m_videoTracks;
    std::vector<Track> m_audioTracks;
    std::vector<Track> m_subtitleTracks;
    std::optional<int> m_selectedAudioTrack;
    std::optional<int> m_selectedSubtitleTrack;
    Track m_activeAudioTrack = Track::none(TrackType::audio);
    Track m_activeSubtitleTrack = Track::none(TrackType::subtitle);
    std::optional<ui::Point> m_optionsScrollPosition;
    std::optional<ui::Point> m_audioSubtitleScrollPosition;
    std::optional<ui::Point> m_gesturesScrollPosition;
    std::optional<VideoMenuListType> m_videoMenuTab;

    foundation::CurrentValueSubject<std::optional<double>> m_playbackSpeed;
    foundation::CurrentValueSubject<bool> m_isHdr{false};
    foundation::CurrentValueSubject<bool> m_isHwdec{false};
    foundation::CurrentValueSubject<int> m_currentChapter{0};
};

using PlaybackInfoPtr = std::shared_ptr<PlaybackInfo>;

}  // namespace reelhaven
