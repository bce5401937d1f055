#include "playback/model/playback_info.h"

#include <any>
#include <atomic>

#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/ui/scenes/user_activity.h"

namespace reelhaven {

namespace {
// Videos up to this long loop unless their saved record says otherwise.
constexpr double kShortVideoLoopSeconds = 10.0;

std::string displayName(const Video& video) {
    auto url = video.url();
    if (video.type() == LibraryItemType::folder) return url.lastPathComponent();
    return url.deletingPathExtension().lastPathComponent();
}

std::uint64_t nextSerial() {
    static std::atomic<std::uint64_t> last{0};
    return last.fetch_add(1) + 1;
}

std::optional<double> seconds(const std::optional<VideoTime>& time) {
    return time ? std::optional(time->seconds) : std::nullopt;
}
// A record applies to the file it was saved for: a library file whose length changed is another
// file. A record whose length was lost (0) applies while its position lies inside the file.
// Not inlined: GCC then takes the fields of an engaged optional for uninitialised.
[[gnu::noinline]] bool recordAppliesToFile(const VideoProgress& record, std::optional<double> duration) {
    if (!duration) return false;
    if (*duration == record.duration.seconds) return true;
    return record.duration.seconds == 0 && record.progress.seconds < *duration;
}

}  // namespace

std::shared_ptr<PlaybackInfo> PlaybackInfo::create(std::shared_ptr<ProgressClient> progressClient,
                                                   std::shared_ptr<VideoManager> videoManager, VideoPtr video,
                                                   bool isRestored, bool hideControls,
                                                   std::optional<double> playbackSpeed) {
    auto info = std::shared_ptr<PlaybackInfo>(new PlaybackInfo(
        std::move(progressClient), std::move(videoManager), std::move(video), isRestored, hideControls, playbackSpeed));
    info->restoreSavedChoices();
    return info;
}

PlaybackInfo::PlaybackInfo(std::shared_ptr<ProgressClient> progressClient, std::shared_ptr<VideoManager> videoManager,
                           VideoPtr video, bool isRestored, bool hideControls, std::optional<double> playbackSpeed)
    : m_serial(nextSerial()),
      m_progressClient(std::move(progressClient)),
      m_videoManager(std::move(videoManager)),
      m_video(std::move(video)),
      m_name(displayName(*m_video)),
      m_url(m_video->url()),
      m_isSecurityScoped(m_video->isSecurityScoped()),
      m_isRestored(isRestored),
      m_duration(seconds(m_video->duration())),
      m_hideControls(hideControls),
      m_playbackSpeed(playbackSpeed) {}

void PlaybackInfo::restoreSavedChoices() {
    std::optional<VideoProgress> saved = m_progressClient ? m_progressClient->progress(*m_video) : std::nullopt;
    std::optional<double> speed;
    {
        std::lock_guard lock(m_mutex);
        if (m_duration && *m_duration <= kShortVideoLoopSeconds) m_loop = true;
        // Files opened from elsewhere have no stable length to compare.
        if (!saved || !(m_isSecurityScoped || recordAppliesToFile(*saved, m_duration))) return;
        m_progress = saved->progress.seconds;
        m_selectedAudioTrack = saved->selectedAudio;
        m_selectedSubtitleTrack = saved->selectedSubtitle;
        m_contentMode = saved->contentMode;
        m_aspectRatio = saved->aspectRatio;
        m_deinterlace = saved->deinterlace;
        m_loop = saved->loop;
        m_volume = saved->volume;
        speed = saved->playbackSpeed;
    }
    m_playbackSpeed.send(speed);
}

bool PlaybackInfo::isNetworkStream() const {
    const auto& scheme = m_url.scheme();
    return scheme == "https" || scheme == "http" || scheme == "ftp";
}

std::string PlaybackInfo::title() const { return isNetworkStream() ? m_url.absoluteString() : m_name; }

std::optional<foundation::Data> PlaybackInfo::bookmarkData() const {
    std::lock_guard lock(m_mutex);
    if (!m_bookmarkData) m_bookmarkData = m_url.bookmarkData().optional();
    return *m_bookmarkData;
}

std::optional<double> PlaybackInfo::duration() const {
    std::lock_guard lock(m_mutex);
    return m_duration;
}

void PlaybackInfo::setDuration(std::optional<double> value) {
    std::lock_guard lock(m_mutex);
    m_duration = value;
}

std::optional<double> PlaybackInfo::aspectRatio() const {
    std::lock_guard lock(m_mutex);
    return m_aspectRatio;
}

void PlaybackInfo::setAspectRatio(std::optional<double> value) {
    std::lock_guard lock(m_mutex);
    m_aspectRatio = value;
}

bool PlaybackInfo::hideControls() const {
    std::lock_guard lock(m_mutex);
    return m_hideControls;
}

void PlaybackInfo::setHideControls(bool value) {
    std::lock_guard lock(m_mutex);
    m_hideControls = value;
}

bool PlaybackInfo::isSeeking() const {
    std::lock_guard lock(m_mutex);
    return m_isSeeking;
}

void PlaybackInfo::setIsSeeking(bool value) {
    std::lock_guard lock(m_mutex);
    m_isSeeking = value;
}

bool PlaybackInfo::isPanSeeking() const {
    std::lock_guard lock(m_mutex);
    return m_isPanSeeking;
}

void PlaybackInfo::setIsPanSeeking(bool value) {
    std::lock_guard lock(m_mutex);
    m_isPanSeeking = value;
}

bool PlaybackInfo::isPaused() const {
    std::lock_guard lock(m_mutex);
    return m_isPaused;
}

void PlaybackInfo::setIsPaused(bool value) {
    std::lock_guard lock(m_mutex);
    m_isPaused = value;
}

std::optional<bool> PlaybackInfo::isFinished() const {
    std::lock_guard lock(m_mutex);
    return m_isFinished;
}

void PlaybackInfo::setIsFinished(std::optional<bool> value) {
    std::lock_guard lock(m_mutex);
    m_isFinished = value;
}

double PlaybackInfo::progress() const {
    std::lock_guard lock(m_mutex);
    return m_progress;
}

void PlaybackInfo::setProgress(double value) {
    std::lock_guard lock(m_mutex);
    m_progress = value;
}

std::optional<ContentMode> PlaybackInfo::contentMode() const {
    std::lock_guard lock(m_mutex);
    return m_contentMode;
}

void PlaybackInfo::setContentMode(std::optional<ContentMode> value) {
    std::lock_guard lock(m_mutex);
    m_contentMode = value;
}

std::optional<bool> PlaybackInfo::deinterlace() const {
    std::lock_guard lock(m_mutex);
    return m_deinterlace;
}

void PlaybackInfo::setDeinterlace(std::optional<bool> value) {
    std::lock_guard lock(m_mutex);
    m_deinterlace = value;
}

std::optional<bool> PlaybackInfo::loop() const {
    std::lock_guard lock(m_mutex);
    return m_loop;
}

void PlaybackInfo::setLoop(std::optional<bool> value) {
    std::lock_guard lock(m_mutex);
    m_loop = value;
}

std::optional<int> PlaybackInfo::volume() const {
    std::lock_guard lock(m_mutex);
    return m_volume;
}

void PlaybackInfo::setVolume(std::optional<int> value) {
    std::lock_guard lock(m_mutex);
    m_volume = value;
}

std::vector<Chapter> PlaybackInfo::chapters() const {
    std::lock_guard lock(m_mutex);
    return m_chapters;
}

void PlaybackInfo::setChapters(std::vector<Chapter> value) {
    std::lock_guard lock(m_mutex);
    m_chapters = std::move(value);
}

std::vector<Track> PlaybackInfo::videoTracks() const {
    std::lock_guard lock(m_mutex);
    return m_videoTracks;
}

std::vector<Track> PlaybackInfo::audioTracks() const {
    std::lock_guard lock(m_mutex);
    return m_audioTracks;
}

std::vector<Track> PlaybackInfo::subtitleTracks() const {
    std::lock_guard lock(m_mutex);
    return m_subtitleTracks;
}

std::optional<int> PlaybackInfo::selectedAudioTrack() const {
    std::lock_guard lock(m_mutex);
    return m_selectedAudioTrack;
}

void PlaybackInfo::setSelectedAudioTrack(std::optional<int> value) {
    std::lock_guard lock(m_mutex);
    m_selectedAudioTrack = value;
}

std::optional<int> PlaybackInfo::selectedSubtitleTrack() const {
    std::lock_guard lock(m_mutex);
    return m_selectedSubtitleTrack;
}

void PlaybackInfo::setSelectedSubtitleTrack(std::optional<int> value) {
    std::lock_guard lock(m_mutex);
    m_selectedSubtitleTrack = value;
}

Track PlaybackInfo::activeAudioTrack() const {
    std::lock_guard lock(m_mutex);
    return m_activeAudioTrack;
}

void PlaybackInfo::setActiveAudioTrack(Track value) {
    std::lock_guard lock(m_mutex);
    m_activeAudioTrack = std::move(value);
}

Track PlaybackInfo::activeSubtitleTrack() const {
    std::lock_guard lock(m_mutex);
    return m_activeSubtitleTrack;
}

void PlaybackInfo::setActiveSubtitleTrack(Track value) {
    std::lock_guard lock(m_mutex);
    m_activeSubtitleTrack = std::move(value);
}

std::optional<ui::Point> PlaybackInfo::optionsScrollPosition() const {
    std::lock_guard lock(m_mutex);
    return m_optionsScrollPosition;
}

void PlaybackInfo::setOptionsScrollPosition(std::optional<ui::Point> value) {
    std::lock_guard lock(m_mutex);
    m_optionsScrollPosition = value;
}

std::optional<ui::Point> PlaybackInfo::audioSubtitleScrollPosition() const {
    std::lock_guard lock(m_mutex);
    return m_audioSubtitleScrollPosition;
}

void PlaybackInfo::setAudioSubtitleScrollPosition(std::optional<ui::Point> value) {
    std::lock_guard lock(m_mutex);
    m_audioSubtitleScrollPosition = value;
}

std::optional<ui::Point> PlaybackInfo::gesturesScrollPosition() const {
    std::lock_guard lock(m_mutex);
    return m_gesturesScrollPosition;
}

void PlaybackInfo::setGesturesScrollPosition(std::optional<ui::Point> value) {
    std::lock_guard lock(m_mutex);
    m_gesturesScrollPosition = value;
}

std::optional<VideoMenuListType> PlaybackInfo::videoMenuTab() const {
    std::lock_guard lock(m_mutex);
    return m_videoMenuTab;
}

void PlaybackInfo::setVideoMenuTab(std::optional<VideoMenuListType> value) {
    std::lock_guard lock(m_mutex);
    m_videoMenuTab = value;
}

void PlaybackInfo::setTracks(std::vector<Track> video, std::vector<Track> audio, std::vector<Track> subtitle) {
    std::lock_guard lock(m_mutex);
    m_videoTracks = std::move(video);
    m_audioTracks = std::move(audio);
    m_subtitleTracks = std::move(subtitle);
}

void PlaybackInfo::save(double progress, std::optional<bool> isFinished) {
    if (!m_progressClient) return;
    VideoProgress::Choices choices;
    {
        std::lock_guard lock(m_mutex);
        choices = {m_selectedAudioTrack, m_selectedSubtitleTrack, m_contentMode, m_aspectRatio,
                   std::nullopt,         m_deinterlace,           m_loop,        m_volume};
    }
    choices.playbackSpeed = m_playbackSpeed.value();
    m_progressClient->update(*m_video, progress, isFinished, choices);
}

void PlaybackInfo::saveProgress() { save(progress(), isFinished()); }

void PlaybackInfo::saveFinished() { save(0, true); }

std::shared_ptr<PlaybackInfo> PlaybackInfo::nextVideo() const {
    if (m_isSecurityScoped || !m_videoManager) return nullptr;
    auto next = m_videoManager->nextVideo(*m_video);
    if (!next) return nullptr;
    return create(m_progressClient, m_videoManager, std::move(next), false, true, playbackSpeed());
}

std::shared_ptr<PlaybackInfo> PlaybackInfo::forVideo(const VideoPtr& video) const {
    if (m_videoManager) m_videoManager->insertPlayedVideo(video);
    return create(m_progressClient, m_videoManager, video, false, true, playbackSpeed());
}

std::shared_ptr<ui::UserActivity> PlaybackInfo::userActivity() const {
    auto activity = ui::UserActivity::create(kActivityType);
    activity->setTitle(m_name);
    activity->setRequiredUserInfoKeys({"url", "duration", "isSecurityScoped", "controlsHidden"});
    ui::UserActivity::UserInfo info;
    if (auto bookmark = bookmarkData()) {
        info["url"] = *bookmark;
    } else {
        info["url"] = m_url;
    }
    if (auto videoDuration = m_video->duration()) {
        info["duration"] = videoDuration->seconds;
    } else if (auto known = duration()) {
        info["duration"] = *known;
    } else {
        info["duration"] = 0;  // an integer, as the reader expects when nothing is known
    }
    info["isSecurityScoped"] = m_isSecurityScoped;
    info["controlsHidden"] = hideControls();
    activity->setUserInfo(std::move(info));
    return activity;
}

}  // namespace reelhaven
