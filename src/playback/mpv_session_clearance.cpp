#include <mpv/client.h>

#include <string>
#include <utility>
#include <vector>

#include "core/media_limits.h"
#include "core/subtitle.h"
#include "core/video.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "playback/cleared_library_media.h"
#include "playback/mpv_media_limits.h"
#include "playback/mpv_session.h"

namespace reelhaven {

namespace {

// mpv's address of a descriptor it reads but does not close: the session closes it once the
// entry has ended, when mpv has let go of its streams.
std::string descriptorAddress(int descriptor) { return "fd://" + std::to_string(descriptor); }

std::vector<std::string> subtitlePaths(const PlaybackInfoPtr& info) {
    std::vector<std::string> paths;
    if (!info || !info->video()) return paths;
    for (const auto& subtitle : info->video()->externalSubtitles().value_or(std::vector<std::shared_ptr<Subtitle>>{}))
        paths.push_back(subtitle->url().path());
    return paths;
}

}  // namespace

// The clearance reads the file in a helper and may take seconds: it runs on a background queue,
// so it never holds up the command queue, which the main thread may wait for; mpv waits in its
// hook meanwhile. The session is weak: a clearance that ends after it closes what it opened.
void MPVSession::clearLibraryFile(std::uint64_t hook, std::string path, MediaLimits limits) {
    const std::int64_t entry = m_startedEntry;
    dispatch::Queue::global(dispatch::QoS::userInitiated)
        ->async([weak = weak_from_this(), hook, entry, path = std::move(path), limits = std::move(limits),
                 subtitles = subtitlePaths(m_latestLoadInfo)] {
            // A session closed before its turn came needs no clearance.
            if (auto self = weak.lock(); !self || !self->isAlive()) return;
            auto media = std::make_shared<ClearedLibraryMedia>(ClearedLibraryMedia::clear(path, subtitles));
            auto self = weak.lock();
            if (!self) return;
            self->m_commandQueue->async(
                [self, hook, entry, media, limits] { self->openClearedFile(hook, entry, media, limits); });
        });
}

void MPVSession::openClearedFile(std::uint64_t hook, std::int64_t entry,
                                 const std::shared_ptr<ClearedLibraryMedia>& media, const MediaLimits& limits) {
    withHandle([&](mpv_handle* handle) {
        bool allowed = media->cleared();
        if (allowed) {
            m_clearedMedia[entry] = media;
            allowed = mpv_set_property_string(handle, "stream-open-filename",
                                              descriptorAddress(media->videoDescriptor()).c_str()) >= 0;
        }
        allowed = setMediaLimits(handle, limits, MPVLimitScope::fileLocal) && allowed;
        if (!allowed) mpv_set_property_string(handle, "stream-open-filename", kRefusedEntryAddress);
        mpv_hook_continue(handle, hook);
    });
}

// mpv has opened the file and not yet chosen its tracks: the subtitles join the choice, as the
// ones it found by name did.
void MPVSession::addClearedSubtitles(std::uint64_t hook) {
    withHandle([&](mpv_handle* handle) {
        if (auto held = m_clearedMedia.find(m_startedEntry); held != m_clearedMedia.end()) {
            for (const auto& subtitle : held->second->subtitles()) {
                const std::string address = descriptorAddress(subtitle.file.get());
                const char* args[] = {"sub-add",
                                      address.c_str(),
                                      "auto",
                                      subtitle.title.c_str(),
                                      subtitle.language ? subtitle.language->c_str() : nullptr,
                                      nullptr};
                mpv_command(handle, args);
            }
        }
        mpv_hook_continue(handle, hook);
    });
}

void MPVSession::releaseClearedMedia(std::int64_t entry) { m_clearedMedia.erase(entry); }

}  // namespace reelhaven
