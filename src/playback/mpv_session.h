#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

#include "core/media_origin.h"
#include "playback/end_file_action.h"
#include "playback/model/hdr_metadata.h"
#include "playback/model/mpv_command.h"
#include "playback/model/mpv_options_delegate.h"
#include "playback/model/playback_info.h"
#include "playback/playlist_trail.h"
#include "playback/seek_ledger.h"

struct mpv_event;

namespace dispatch {
class WorkQueue;
}
namespace ui {
class Screen;
}

namespace reelhaven {

class ClearedLibraryMedia;
class DocumentsClient;
struct MediaLimits;
class Preferences;

// The player's one libmpv client: created and configured once, driven from the serial queue
// "mpv.commandQueue" (a WorkQueue: one thread), fed by mpv's wakeup callback, and torn down on
// that queue after the renderer has freed its render context.
//
// Threads and guards:
// - `m_handleMutex` guards the handle: every client call takes it shared for that one call, and
//   the destruction takes it exclusively to let the handle go, so no call from any thread (a
//   popover's track choice, the renderer's colour writes) races `mpv_destroy`; `mpv_destroy`
//   itself runs after, outside the guard, since it waits for mpv's core.
// - The main thread never calls a synchronous mpv function that waits for mpv's core, and never
//   waits for the command queue: mpv's core may be busy for seconds (a large subtitle file being
//   read in), and with it any synchronous call and the command queue that made it. What the
//   interface shows comes from observed values (`observed`), kept as their events are drained;
//   what it asks goes through the command queue or mpv's asynchronous calls.
// - The drain, the event handlers, loads and the teardown run on the command queue. State only
//   they touch is marked "command queue".
// - The callbacks below run on the main queue unless marked otherwise.
//
// Where each member lives:
// - mpv_session.cpp: creation, `setup`, `teardown`, the destructor, the delegate's record.
// - mpv_session_bridge.cpp: the guarded handle, the property setters, reads, commands.
// - mpv_session_events.cpp: the wakeup callback, the drain, the event and property tables, and
//   the load hook that holds each file it opens to its limits (mpv_media_limits).
// - mpv_session_clearance.cpp: a library file and its subtitles cleared off the command queue
//   and handed to mpv by descriptor (cleared_library_media).
// - mpv_session_loading.cpp: the start position, `loadFile`, the file-loaded options, scalers,
//   HDR detection and the duration, chapter and hardware-decoder handlers.
// - mpv_session_tracks.cpp: chapters, tracks, their titles, track selection, the subtitle font.
// - mpv_session_observed.cpp: the values the interface reads (`observed`) and the asks that tell
//   whether mpv answers (`ping`).
class MPVSession : public MPVOptionsDelegate, public std::enable_shared_from_this<MPVSession> {
public:
    struct Options {
        // "hwdec" before initialisation: a decoder mpv knows on this platform; empty for the
        // machine's default (below), else "auto-safe".
        std::string hwdec;
        // "ao": empty for the machine's default (below), "null" for tests and CI.
        std::string audioOutput;
        std::shared_ptr<Preferences> preferences;          // null: Preferences::shared()
        std::shared_ptr<DocumentsClient> documentsClient;  // for the screenshot folder; may be null
        // The screen whose headroom decides whether HDR is shown as HDR; null: ui::Screen::main().
        std::shared_ptr<ui::Screen> screen;
    };

    // Posted on the main thread, with the session as object, each time playback (re)starts after a
    // load or a seek: mpv has shown the new frame by then. Observers that are not the player
    // (the launcher's first-frame line) need no hold on it.
    static constexpr const char* kPlaybackRestartNotification = "MPVSessionPlaybackRestart";
    // Its user info: the position playback starts from (a double), when mpv has one.
    static constexpr const char* kPlaybackRestartPositionKey = "position";

    // What every session uses unless its options say otherwise: the outputs this machine has,
    // set once by the launcher at start, so mpv does not probe the ones it lacks (each failed
    // probe prints library errors on the terminal). Empty values leave mpv's own choice.
    struct MachineDefaults {
        std::string audioOutput;   // "ao"
        std::string hwdec;         // "hwdec"
        std::string hwdecInterop;  // "gpu-hwdec-interop"
    };
    static void setMachineDefaults(MachineDefaults defaults);

    static std::shared_ptr<MPVSession> create(PlaybackInfoPtr playbackInfo, Options options);
    ~MPVSession() override;
    MPVSession(const MPVSession&) = delete;
    MPVSession& operator=(const MPVSession&) = delete;

    // ---- mpv_session.cpp
    // Creates, configures and initialises the handle (fatal when libmpv cannot make one).
    void setup();
    // Ends the session: ends security-scoped access, calls `onWillDestroyHandle` and destroys
    // the handle, on the command queue; waits for it unless called there (so never on the main
    // thread while mpv may be busy: the player queues it). Idempotent.
    void teardown();
    bool isAlive() const;
    const std::shared_ptr<dispatch::WorkQueue>& commandQueue() const { return m_commandQueue; }
    PlaybackInfoPtr playbackInfo() const;
    // Whether mpv has loaded the file of `info` and plays it now: false from the load that
    // starts it until its FILE_LOADED (of a playlist: its first entry's), and again once another
    // load replaces it.
    bool hasLoaded(const PlaybackInfo& info) const;
    // The switch to another video sets this before replacing the file: the replaced file's end
    // is not acted on. Cleared when the next file starts.
    void setChangedVideo(bool changed) { m_changedVideo = changed; }
    bool changedVideo() const { return m_changedVideo; }

    // Command queue, before the handle is destroyed: the renderer frees its render context.
    std::function<void()> onWillDestroyHandle;
    std::function<void(EndFileAction, EndFileEvent)> onEndFile;
    // mpv shut down by itself (a "quit"): the handle is gone.
    std::function<void()> onShutdown;
    std::function<void()> onStartFile;
    std::function<void(const PlaybackInfoPtr&)> onFileLoaded;
    std::function<void()> onPlaybackRestart;
    // mpv's own "pause", each time it changes (and once as observation starts): paused by the
    // player, or by mpv itself.
    std::function<void(bool paused)> onPauseChanged;
    std::function<void(std::optional<double> aspect, std::optional<double> rotate)> onAspectChanged;
    // Command queue, right after `onAspectChanged` is sent to the main queue: the picture's size
    // may have changed with it.
    std::function<void()> afterAspectChanged;
    std::function<void()> onDurationChanged;
    std::function<void(std::optional<HDRMetadata>)> onHDRMetadata;
    // Command queue: the reply of a screenshot command, with mpv's error code.
    std::function<void(int error)> onScreenshotReply;
    // Command queue: mpv's log lines, with their own line ends.
    std::function<void(const std::string&)> onLogMessage;
    // The calling thread, with the handle held: each command vector as it is handed to mpv.
    // Set before the session is used; tests record what reached the handle.
    std::function<void(const std::vector<std::optional<std::string>>&)> onCommand;
    // Main thread: the subtitle position the layout computes, none to leave "sub-pos" alone.
    std::function<std::optional<std::int64_t>()> subtitlePositionProvider;

    // ---- mpv_session_bridge.cpp (any thread)
    mpv_handle* mpv() const override;
    void setFlagProperty(const std::string& name, bool value) override;
    void setIntProperty(const std::string& name, std::int64_t value) override;
    void setDoubleProperty(const std::string& name, double value) override;
    void setStringProperty(const std::string& name, const std::string& value) override;
    // Synchronous on the calling thread: mpv's status (negative when it refused, or with no handle).
    int command(MPVCommand command, const std::vector<std::optional<std::string>>& args);
    void commandAsync(MPVCommand command, const std::vector<std::optional<std::string>>& args,
                      std::uint64_t replyUserdata);
    // Main thread: a "seek" to `target` with `flag`, sent on the command queue; in flight (see
    // `seekInFlight`) until the playback restart that ends it.
    void seek(const std::string& target, const std::string& flag);
    // Whether a seek or a load asked for has not yet ended in a playback restart.
    bool seekInFlight() const { return m_seeks.inFlight(); }
    void enableVideoTrack();
    void disableVideoTrack();
    void restoreAudioTrack();
    void disableAudioTrack();
    // Guarded synchronous reads; none when the handle is gone or mpv refuses. They wait for
    // mpv's core: the command queue's and tests' only, never the main thread's (`observed`).
    std::optional<double> doubleProperty(const char* name) const;
    std::optional<std::int64_t> intProperty(const char* name) const;
    std::optional<bool> flagProperty(const char* name) const;
    std::optional<std::string> stringProperty(const char* name) const;
    // The shortest decimal text that reads back as the same double ("40.5", "3", "-0.25").
    static std::string decimal(double value);
    // The vector the command layer sends: the name, the arguments, and a terminating null.
    static std::vector<std::optional<std::string>> argumentVector(MPVCommand command,
                                                                  std::vector<std::optional<std::string>> args);

    // ---- mpv_session_observed.cpp (any thread, never waiting for mpv)
    // What mpv last reported of the properties the interface shows, as their change events were
    // drained.
    struct Observed {
        std::optional<double> position;  // "time-pos"; none before a file has one
        bool seeking = false;            // "seeking"
        std::optional<bool> paused;      // "pause"
    };
    Observed observed() const;
    // Any thread: asks mpv for a property asynchronously and returns the ask's number; `answered`
    // tells once mpv's core has answered it and the command queue has drained the answer. An ask
    // left unanswered for long says mpv (or the queue waiting for it) is busy, without waiting.
    std::uint64_t ping();
    bool answered(std::uint64_t ping) const { return m_pingsAnswered.load() >= ping; }

    // ---- mpv_session_loading.cpp
    // The position a load starts at: the saved progress for a restored player, else one second
    // before it (from 0 when under a second).
    static double startPosition(const PlaybackInfo& info);
    // "start=" and the position in its shortest exact decimal form ("start=40.5", "start=0.0").
    static std::string startOption(double seconds);
    // Main thread: loads `info` (replacing the current file) from its start position.
    void startPlayback(PlaybackInfoPtr info);
    void setHighQualityVideo(bool on) override;
    // Command queue: the hardware-decoding handler with "hwdec-current" as mpv reported it. An
    // empty name while paused (the decoder went) switches decoders half a second later. (The
    // libmpv we build on reports a decoder that went as no value at all, which changes nothing.)
    void hwdecReported(const std::optional<std::string>& current);
    static constexpr double kPausedDecoderSwitchDelay = 0.5;

    // ---- mpv_session_tracks.cpp
    void updateSubtitleFont() override;
    void updateSubtitlePosition() override;
    void selectTrack(const Track& track) override;
    // "[Eng] Stereo ", "[Stereo]", "[Eng]", "audio: 2".
    static std::string trackTitle(TrackType type, std::int64_t id, const std::optional<std::string>& title,
                                  const std::optional<std::string>& lang);
    // What "sub-font" becomes for a stored font name and its family (none: write nothing).
    static std::optional<std::string> subtitleFont(const std::string& fontName,
                                                   const std::optional<std::string>& family);

private:
    MPVSession(PlaybackInfoPtr playbackInfo, Options options);
    Preferences& preferences() const;

    // ---- mpv_session_bridge.cpp
    // Runs `call` with the handle under the shared guard; false when there is no handle.
    template <typename F>
    bool withHandle(F&& call) const;
    void destroyHandle();
    // Synchronous guarded writes on the calling thread (the command queue's own).
    void setFlagNow(const char* name, bool value);
    void setIntNow(const char* name, std::int64_t value);
    void setDoubleNow(const char* name, double value);
    void setStringNow(const char* name, const std::string& value);

    // ---- mpv_session_events.cpp
    static void wakeup(void* context);
    void readEvents();
    void drainEvents();
    void handleEvent(const mpv_event& event);
    void handleLogMessage(const mpv_event& event);
    void handleCommandReply(const mpv_event& event);
    void handleStartFile(const mpv_event& event);
    void handleEndFile(const mpv_event& event);
    void handlePlaybackRestart(const mpv_event& event);
    void handlePropertyChange(const mpv_event& event);
    void handleShutdown(const mpv_event& event);
    void handleLoadHook(const mpv_event& event);
    void pauseChanged();
    void aspectChanged();
    void observeProperties();
    void teardownOnCommandQueue();

    // ---- mpv_session_clearance.cpp (command queue)
    void clearLibraryFile(std::uint64_t hook, std::string path, MediaLimits limits);
    void openClearedFile(std::uint64_t hook, std::int64_t entry, const std::shared_ptr<ClearedLibraryMedia>& media,
                         const MediaLimits& limits);
    void addClearedSubtitles(std::uint64_t hook);
    void releaseClearedMedia(std::int64_t entry);

    // ---- mpv_session_observed.cpp (command queue)
    // Keeps the value of an observed property the interface reads (see `observed`).
    void keepObserved(const mpv_event& event);
    // The answer to an asynchronous read: a `ping`'s.
    void handlePropertyReply(const mpv_event& event);

    // ---- mpv_session_loading.cpp
    void loadFile(const PlaybackInfoPtr& info, double start);
    void handleFileLoaded(const mpv_event& event);
    void applyFileOptions(const PlaybackInfoPtr& info);
    void applyScalerSet(bool highQuality, const std::optional<std::string>& pixelFormat, bool scalersOnly);
    void updateScalersForPixelFormat();
    void updateHDR();
    void hdrOff();
    void durationChanged();
    void chapterChanged();
    void hwdecChanged();

    // ---- mpv_session_tracks.cpp
    void updateChapters(PlaybackInfo& info);
    void updateTracks(PlaybackInfo& info);
    void reselectSavedTracks(PlaybackInfo& info);
    void selectTrack(PlaybackInfo& info, const Track& track);

    const Options m_options;
    const std::shared_ptr<dispatch::WorkQueue> m_commandQueue;
    // The decoder `setup` configured (the options', else the machine's, else "auto-safe"): the
    // paused-picture switch goes back to it. Written before the handle is published.
    std::string m_configuredHwdec;

    mutable std::shared_mutex m_handleMutex;  // guards m_mpv (see above)
    mpv_handle* m_mpv = nullptr;
    // What the wakeup callback reaches: kept until the handle is destroyed, so it cannot dangle.
    // The session is weak: a drain posted for a session that is gone does nothing.
    struct WakeupContext {
        std::weak_ptr<MPVSession> session;
        std::shared_ptr<dispatch::WorkQueue> queue;
    };
    std::unique_ptr<WakeupContext> m_wakeupContext;

    mutable std::mutex m_mutex;  // guards the fields below
    PlaybackInfoPtr m_playbackInfo;
    // The record whose file mpv has loaded, by serial: an address could be a later record's.
    std::optional<std::uint64_t> m_loadedInfo;
    bool m_securityScopeStarted = false;
    std::string m_securityScopePath;
    Observed m_observed;

    // Command queue.
    PlaylistTrail m_trail;             // the entries of the last "loadfile", a playlist's included
    double m_latestLoadStart = 0;      // the position it was to start at
    bool m_trailLoaded = false;        // an entry of it has loaded
    std::int64_t m_startedEntry = -1;  // entry of the last START_FILE
    std::int64_t m_loadedEntry = -1;   // entry of the last FILE_LOADED acted on
    std::int64_t m_playedEntry = -1;   // entry whose playback started after it loaded
    PlaybackInfoPtr m_latestLoadInfo;  // the record that load was started for
    // Where its address came from: its own limits, and its playlist entries'.
    MediaOrigin m_latestLoadOrigin = MediaOrigin::libraryFile;
    // The cleared descriptors mpv reads, by entry, until that entry ends.
    std::map<std::int64_t, std::shared_ptr<ClearedLibraryMedia>> m_clearedMedia;

    // Main queue. The record whose length came from mpv alone (its file's header gave none): mpv
    // estimates such a length from what it has read so far, so it may grow. By serial: a later
    // record may be made where a freed one lay.
    std::optional<std::uint64_t> m_estimatedLengthInfo;

    SeekLedger m_seeks;  // any thread
    std::atomic<bool> m_changedVideo{false};
    std::atomic<bool> m_tornDown{false};
    std::atomic<std::uint64_t> m_pingsSent{0};
    std::atomic<std::uint64_t> m_pingsAnswered{0};
};

template <typename F>
bool MPVSession::withHandle(F&& call) const {
    std::shared_lock lock(m_handleMutex);
    if (!m_mpv) return false;
    call(m_mpv);
    return true;
}

}  // namespace reelhaven
