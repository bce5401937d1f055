#include <mpv/client.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/media_limits.h"
#include "core/preferences.h"
#include "platform/base/startup_marks.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/foundation/url.h"
#include "platform/ui/views/platform_version.h"
#include "playback/mpv_media_limits.h"
#include "playback/mpv_session.h"

namespace reelhaven {

namespace {
// Observed properties; the reply id of each is its position here.
enum PropertyReply : std::uint64_t {
    duration,
    chapter,
    aspect,
    primaries,
    hwPixelFormat,
    hwdecCurrent,
    pause,
    timePos,
    seeking
};
constexpr std::array<std::pair<const char*, mpv_format>, 9> kObservedProperties{{
    {"duration", MPV_FORMAT_DOUBLE},
    {"chapter", MPV_FORMAT_DOUBLE},
    {"video-params/aspect", MPV_FORMAT_DOUBLE},
    {"video-params/primaries", MPV_FORMAT_STRING},
    {"video-params/hw-pixelformat", MPV_FORMAT_STRING},
    {"hwdec-current", MPV_FORMAT_STRING},
    {"pause", MPV_FORMAT_FLAG},
    // Kept from their events alone (`keepObserved`), for the interface to read without waiting.
    {"time-pos", MPV_FORMAT_DOUBLE},
    {"seeking", MPV_FORMAT_FLAG},
}};

constexpr const char* kLoadHook = "on_load";
constexpr const char* kPreloadedHook = "on_preloaded";

// Work for the interface goes to the main queue; the block holds the session.
template <typename F>
void onMain(F&& work) {
    dispatch::Queue::main()->async(std::forward<F>(work));
}
}  // namespace

void MPVSession::observeProperties() {
    withHandle([](mpv_handle* handle) {
        for (std::uint64_t id = 0; id < kObservedProperties.size(); ++id)
            mpv_observe_property(handle, id, kObservedProperties[id].first, kObservedProperties[id].second);
        // Each entry waits for `handleLoadHook` before mpv opens it, and again once opened, before
        // its tracks are chosen.
        mpv_hook_add(handle, 0, kLoadHook, 0);
        mpv_hook_add(handle, 0, kPreloadedHook, 0);
    });
}

// libmpv's thread: no mpv call here, only a drain scheduled on the command queue. The context
// lives until the handle is destroyed, after which libmpv calls no more.
void MPVSession::wakeup(void* context) {
    auto* wakeup = static_cast<WakeupContext*>(context);
    wakeup->queue->async([weak = wakeup->session] {
        if (auto self = weak.lock()) self->drainEvents();
    });
}

void MPVSession::readEvents() {
    m_commandQueue->async([self = shared_from_this()] { self->drainEvents(); });
}

void MPVSession::drainEvents() {
    for (;;) {
        // Copied out under the guard: the handlers make client calls of their own, and the
        // event's memory is libmpv's until the next wait, which only this queue makes.
        const mpv_event* event = nullptr;
        if (!withHandle([&](mpv_handle* handle) { event = mpv_wait_event(handle, 0); })) return;
        if (!event || event->event_id == MPV_EVENT_NONE) return;
        handleEvent(*event);
        if (!mpv()) return;  // shut down by the handler
    }
}

void MPVSession::handleEvent(const mpv_event& event) {
    using Handler = void (MPVSession::*)(const mpv_event&);
    static const std::array<std::pair<mpv_event_id, Handler>, 10> handlers{{
        {MPV_EVENT_SHUTDOWN, &MPVSession::handleShutdown},
        {MPV_EVENT_LOG_MESSAGE, &MPVSession::handleLogMessage},
        {MPV_EVENT_COMMAND_REPLY, &MPVSession::handleCommandReply},
        {MPV_EVENT_START_FILE, &MPVSession::handleStartFile},
        {MPV_EVENT_END_FILE, &MPVSession::handleEndFile},
        {MPV_EVENT_FILE_LOADED, &MPVSession::handleFileLoaded},
        {MPV_EVENT_PLAYBACK_RESTART, &MPVSession::handlePlaybackRestart},
        {MPV_EVENT_PROPERTY_CHANGE, &MPVSession::handlePropertyChange},
        {MPV_EVENT_HOOK, &MPVSession::handleLoadHook},
        {MPV_EVENT_GET_PROPERTY_REPLY, &MPVSession::handlePropertyReply},
    }};
    for (const auto& [id, handler] : handlers) {
        if (id == event.event_id) {
            (this->*handler)(event);
            return;
        }
    }
}

void MPVSession::handleShutdown(const mpv_event&) {
    teardownOnCommandQueue();
    // The player's timers are the main thread's; they stop there, with nothing left to read.
    onMain([self = shared_from_this()] {
        if (self->onShutdown) self->onShutdown();
    });
}

namespace {

// The file a library file's address names: a file URL's path, or the address itself.
std::string localPathOf(const char* address) {
    if (auto url = foundation::URL::parse(address); url && url->isFileURL()) return url->path();
    return address;
}

}  // namespace

// mpv's start-file event of the entry came first, so `m_startedEntry` is the entry to be opened:
// the load's own address, held to its origin's limits, or an entry a playlist expanded into,
// held to an entry's (whoever wrote the playlist named it: "srt://0.0.0.0:9001?mode=listener"
// or an SDP text would have the app listen on every interface). An entry of a load already
// replaced, which mpv is about to drop, is refused.
//
// A library file is opened here, once, and played only when that open file has been cleared
// (`clearLibraryFile`): mpv reads the descriptor, so a rename between the clearance and mpv's
// open cannot put another file under the name.
void MPVSession::handleLoadHook(const mpv_event& event) {
    auto* hook = static_cast<const mpv_event_hook*>(event.data);
    if (!hook || !hook->name) return;
    if (std::string_view(hook->name) == kPreloadedHook) {
        addClearedSubtitles(hook->id);
        return;
    }
    const bool current = m_trail.follows(m_startedEntry);
    const bool entry = !m_trail.isLoadedEntry(m_startedEntry);
    const MediaLimits limits = !current ? mediaLimits(MediaOrigin::libraryFile)
                               : entry  ? playlistEntryLimits(m_latestLoadOrigin)
                                        : mediaLimits(m_latestLoadOrigin);
    std::optional<std::string> libraryFile;
    withHandle([&](mpv_handle* handle) {
        char* address = mpv_get_property_string(handle, "stream-open-filename");
        bool allowed = current && address && (!entry || limits.allows(address));
        if (allowed && limits.demuxers == MediaLimits::Demuxers::singleFile) libraryFile = localPathOf(address);
        mpv_free(address);
        if (libraryFile) return;  // the hook continues once the file is cleared
        // Limits mpv would not take leave the file unopened, rather than open it without them.
        allowed = setMediaLimits(handle, limits, MPVLimitScope::fileLocal) && allowed;
        if (!allowed) mpv_set_property_string(handle, "stream-open-filename", kRefusedEntryAddress);
        mpv_hook_continue(handle, hook->id);
    });
    if (libraryFile) clearLibraryFile(hook->id, std::move(*libraryFile), limits);
}

void MPVSession::handleLogMessage(const mpv_event& event) {
    auto* message = static_cast<const mpv_event_log_message*>(event.data);
    if (message && message->text && onLogMessage) onLogMessage(message->text);
}

void MPVSession::handleCommandReply(const mpv_event& event) {
    if (event.reply_userdata == kScreenshotReplyUserdata && onScreenshotReply) onScreenshotReply(event.error);
}

void MPVSession::handleStartFile(const mpv_event& event) {
    if (auto* start = static_cast<const mpv_event_start_file*>(event.data)) m_startedEntry = start->playlist_entry_id;
    onMain([self = shared_from_this()] {
        self->m_changedVideo = false;
        if (self->onStartFile) self->onStartFile();
    });
}

void MPVSession::handleEndFile(const mpv_event& event) {
    auto* end = static_cast<const mpv_event_end_file*>(event.data);
    if (!end) return;
    // mpv has closed the entry's streams by now.
    releaseClearedMedia(end->playlist_entry_id);
    // The end of a file replaced by a later load is that load's business; the end of a playlist
    // entry mpv goes on from is no end of the file played.
    auto verdict = m_trail.ended({end->playlist_entry_id, end->reason, end->error, end->playlist_insert_id,
                                  end->playlist_insert_num_entries, end->playlist_entry_id == m_playedEntry});
    if (!verdict) return;
    if (verdict->stopPlayback) {
        // A playlist that names itself: mpv would expand it for ever.
        const std::vector<std::optional<std::string>> none;
        command(MPVCommand::stop, none);
    }
    onMain([self = shared_from_this(), ended = verdict->event] {
        auto action = endFileAction(ended, self->m_changedVideo, self->preferences().continuousPlayback.wrappedValue());
        if (self->onEndFile) self->onEndFile(action, ended);
    });
}

void MPVSession::handlePlaybackRestart(const mpv_event&) {
    base::startupMark("mpv playback restart");
    m_seeks.restarted();
    if (m_loadedEntry == m_startedEntry) m_playedEntry = m_startedEntry;
    auto info = playbackInfo();
    info->setIsSeeking(false);
    info->setIsPanSeeking(false);
    // Read here, as playback starts; on the main queue it would already have moved on. An audio
    // file's clock can start a hair before zero (-2.8e-07): no position lies before the start.
    auto position = doubleProperty("time-pos");
    if (position) position = std::max(0.0, *position);
    onMain([self = shared_from_this(), position] {
        if (self->onPlaybackRestart) self->onPlaybackRestart();
        foundation::UserInfo userInfo;
        if (position) userInfo[kPlaybackRestartPositionKey] = *position;
        foundation::NotificationCenter::defaultCenter().post(kPlaybackRestartNotification, self, userInfo);
    });
}

void MPVSession::handlePropertyChange(const mpv_event& event) {
    keepObserved(event);
    // Each handler reads its property again rather than trusting the event's value.
    using Handler = void (MPVSession::*)();
    static const std::array<Handler, PropertyReply::timePos> handlers{
        &MPVSession::durationChanged,
        &MPVSession::chapterChanged,
        &MPVSession::aspectChanged,
        &MPVSession::updateHDR,
        &MPVSession::updateScalersForPixelFormat,
        &MPVSession::hwdecChanged,
        &MPVSession::pauseChanged,
    };
    if (event.reply_userdata >= handlers.size()) return;
    if (event.reply_userdata == PropertyReply::primaries && !ui::PlatformVersion::isAtLeast(16)) return;
    (this->*handlers[event.reply_userdata])();
}

void MPVSession::pauseChanged() {
    const auto paused = flagProperty("pause");
    if (!paused) return;
    onMain([self = shared_from_this(), paused = *paused] {
        if (self->onPauseChanged) self->onPauseChanged(paused);
    });
}

void MPVSession::aspectChanged() {
    auto aspect = doubleProperty("video-params/aspect");
    auto rotate = doubleProperty("video-params/rotate");
    if (mpv()) {
        // A read mpv refuses counts as 0; only a missing handle gives no value.
        aspect = aspect.value_or(0);
        rotate = rotate.value_or(0);
    }
    onMain([self = shared_from_this(), aspect, rotate] {
        if (self->onAspectChanged) self->onAspectChanged(aspect, rotate);
    });
    if (afterAspectChanged) afterAspectChanged();
}

}  // namespace reelhaven
