#include "playback/mpv_session.h"

#include <mpv/client.h>

#include <mutex>

#include "core/media_limits.h"
#include "core/preferences.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/security_scope.h"
#include "playback/mpv_media_limits.h"

namespace reelhaven {

namespace {

std::mutex machineDefaultsMutex;
MPVSession::MachineDefaults machineDefaults;

}  // namespace

void MPVSession::setMachineDefaults(MachineDefaults defaults) {
    std::lock_guard lock(machineDefaultsMutex);
    machineDefaults = std::move(defaults);
}

std::shared_ptr<MPVSession> MPVSession::create(PlaybackInfoPtr playbackInfo, Options options) {
    return std::shared_ptr<MPVSession>(new MPVSession(std::move(playbackInfo), std::move(options)));
}

MPVSession::MPVSession(PlaybackInfoPtr playbackInfo, Options options)
    : m_options(std::move(options)),
      m_commandQueue(dispatch::WorkQueue::create("mpv.commandQueue", dispatch::QoS::userInitiated)),
      m_playbackInfo(std::move(playbackInfo)) {}

MPVSession::~MPVSession() {
    // A live handle is torn down here: on the command queue's thread when the last reference
    // went there, else through the queue (the queue is still ours). A session torn down already
    // (the player's close queues it) has nothing to wait for: no block holds it any more.
    if (m_commandQueue->isCurrent()) {
        teardownOnCommandQueue();
    } else if (!m_tornDown && !m_commandQueue->isShutDown()) {
        m_commandQueue->sync([this] { teardownOnCommandQueue(); });
    }
}

Preferences& MPVSession::preferences() const {
    return m_options.preferences ? *m_options.preferences : Preferences::shared();
}

void MPVSession::setup() {
    mpv_handle* handle = mpv_create();
    if (!handle) base::fatal("mpv_create gave no handle");
    mpv_set_property_string(handle, "vo", "libmpv");
    MachineDefaults machine;
    {
        std::lock_guard lock(machineDefaultsMutex);
        machine = machineDefaults;
    }
    m_configuredHwdec = !m_options.hwdec.empty() ? m_options.hwdec
                        : !machine.hwdec.empty() ? machine.hwdec
                                                 : std::string("auto-safe");
    mpv_set_property_string(handle, "hwdec", m_configuredHwdec.c_str());
    const std::string& audioOutput = m_options.audioOutput.empty() ? machine.audioOutput : m_options.audioOutput;
    if (!audioOutput.empty()) mpv_set_property_string(handle, "ao", audioOutput.c_str());
    if (!machine.hwdecInterop.empty())
        mpv_set_property_string(handle, "gpu-hwdec-interop", machine.hwdecInterop.c_str());
    // A machine without a sound device still plays its videos to their end, silently: without
    // this mpv ends every file with audio as an error.
    mpv_set_property_string(handle, "audio-fallback-to-null", "yes");
    mpv_request_log_messages(handle, "no");
    // mpv's own on-screen tools (its stats page, console and profile switching) are scripts that
    // load before the first file may open, and no key of ours reaches them.
    for (const char* script : {"load-stats-overlay", "load-osd-console", "load-auto-profiles"})
        mpv_set_property_string(handle, script, "no");
    // Its web-video hook would run a downloader program found on PATH with any address a link or
    // a playlist names, each time mpv could not open one itself.
    mpv_set_property_string(handle, "ytdl", "no");
    // Each load sets its own limits as it opens (`handleLoadHook`); whatever opens without them
    // is held to a library file's.
    setMediaLimits(handle, mediaLimits(MediaOrigin::libraryFile), MPVLimitScope::session);
    if (mpv_initialize(handle) < 0) base::fatal("mpv_initialize failed");
    {
        std::unique_lock lock(m_handleMutex);
        m_mpv = handle;
    }
    m_wakeupContext = std::make_unique<WakeupContext>(WakeupContext{weak_from_this(), m_commandQueue});
    mpv_set_wakeup_callback(handle, &MPVSession::wakeup, m_wakeupContext.get());
    observeProperties();
}

void MPVSession::teardown() {
    if (m_commandQueue->isCurrent()) {
        teardownOnCommandQueue();
        return;
    }
    // The block holds the session, so a teardown asked for by its last owner completes.
    m_commandQueue->sync([self = shared_from_this()] { self->teardownOnCommandQueue(); });
}

void MPVSession::teardownOnCommandQueue() {
    if (m_tornDown.exchange(true)) return;
    {
        std::lock_guard lock(m_mutex);
        if (m_securityScopeStarted) foundation::SecurityScope::stop(m_securityScopePath);
        m_securityScopeStarted = false;
    }
    if (!mpv()) return;
    // The render context goes first: libmpv's video output needs it gone before the core.
    if (onWillDestroyHandle) onWillDestroyHandle();
    destroyHandle();
}

bool MPVSession::isAlive() const { return mpv() != nullptr; }

bool MPVSession::hasLoaded(const PlaybackInfo& info) const {
    std::lock_guard lock(m_mutex);
    return m_loadedInfo == info.serial();
}

PlaybackInfoPtr MPVSession::playbackInfo() const {
    std::lock_guard lock(m_mutex);
    return m_playbackInfo;
}

namespace {
bool isOutputFailure(int error) { return error == MPV_ERROR_AO_INIT_FAILED || error == MPV_ERROR_VO_INIT_FAILED; }
}  // namespace

EndFileAction endFileAction(const EndFileEvent& event, bool changedVideo, bool continuousPlayback) {
    if (changedVideo) return EndFileAction::none;
    // The end reason is looked at on purpose: a file that failed to play would otherwise be
    // marked watched, or skipped past by continuous playback, as if it had played to its end.
    switch (event.reason) {
        case MPV_END_FILE_REASON_EOF:
            return continuousPlayback ? EndFileAction::playNext : EndFileAction::closeFinished;
        case MPV_END_FILE_REASON_ERROR:
            // An output that could not be opened still lets the file play to its end, and mpv then
            // reports that end as the output's error: a file that loaded and played is played.
            if (event.played && isOutputFailure(event.error))
                return continuousPlayback ? EndFileAction::playNext : EndFileAction::closeFinished;
            return EndFileAction::closeUnfinished;
        default: return EndFileAction::none;  // stop, quit, redirect: something else took over
    }
}

}  // namespace reelhaven
