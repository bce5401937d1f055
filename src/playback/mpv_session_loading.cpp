#include <mpv/client.h>

#include <array>
#include <cmath>
#include <utility>

#include "core/documents_client.h"
#include "core/media_limits.h"
#include "core/preferences.h"
#include "core/video_time.h"
#include "platform/base/startup_marks.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/security_scope.h"
#include "platform/ui/views/screen.h"
#include "playback/mpv_session.h"

namespace reelhaven {

namespace {
struct Option {
    const char* name;
    const char* value;
};
// The scaler sets: high quality, and the plain ones chosen by the decoder's pixel format.
constexpr std::array<Option, 7> kHighQuality{{{"scale", "spline36"},
                                              {"cscale", "spline36"},
                                              {"dscale", "mitchell"},
                                              {"correct-downscaling", "yes"},
                                              {"linear-downscaling", "yes"},
                                              {"sigmoid-upscaling", "yes"},
                                              {"deband", "yes"}}};
constexpr std::array<const char*, 3> kScalers{"scale", "cscale", "dscale"};
constexpr std::array<const char*, 4> kQualityFlags{"correct-downscaling", "linear-downscaling", "sigmoid-upscaling",
                                                   "deband"};

const char* plainScaler(const std::optional<std::string>& pixelFormat) {
    return !pixelFormat || *pixelFormat == "nv12" ? "bilinear" : "bicubic_fast";
}

// Options only files opened from elsewhere get: they may sit on slow storage.
constexpr std::array<Option, 4> kSecurityScopedCache{{{"cache", "yes"},
                                                      {"cache-secs", "180"},
                                                      {"demuxer-max-bytes", "402653184"},
                                                      {"demuxer-max-back-bytes", "268435456"}}};

struct ColorSpaceRow {
    const char* primaries;
    gfx::ColorSpaceName pq, hlg, other;
};
constexpr std::array<ColorSpaceRow, 2> kHDRColorSpaces{{
    {"display-p3", gfx::ColorSpaceName::displayP3PQ, gfx::ColorSpaceName::displayP3HLG, gfx::ColorSpaceName::displayP3},
    {"bt.2020", gfx::ColorSpaceName::itur2100PQ, gfx::ColorSpaceName::itur2100HLG, gfx::ColorSpaceName::itur2020},
}};
// "video-params/sig-peak" is the tagged peak (MaxCLL, else the mastering display's maximum)
// relative to mpv's reference white of 203 nits; an untagged PQ picture reports the curve's own
// peak of 10000 nits, which says nothing about the picture and gives 0 here.
double taggedPeakLuminance(double sigPeak) {
    constexpr double referenceWhite = 203;
    constexpr double pqPeak = 10000;
    const double nits = std::round(sigPeak * referenceWhite * 100) / 100;
    return nits > 0 && nits < pqPeak ? nits : 0;
}
}  // namespace

double MPVSession::startPosition(const PlaybackInfo& info) {
    double progress = info.progress();
    if (info.isRestored()) return progress;
    return progress > 1.0 ? progress - 1.0 : 0.0;
}

std::string MPVSession::startOption(double seconds) {
    std::string text = decimal(seconds);
    if (text.find_first_of(".einn") == std::string::npos) text += ".0";
    return "start=" + text;
}

void MPVSession::startPlayback(PlaybackInfoPtr info) {
    {
        std::lock_guard lock(m_mutex);
        m_playbackInfo = info;
        m_loadedInfo.reset();
        m_observed.position.reset();  // the replaced file's
    }
    double start = startPosition(*info);
    m_seeks.asked();
    m_commandQueue->async([self = shared_from_this(), info = std::move(info), start] { self->loadFile(info, start); });
}

void MPVSession::loadFile(const PlaybackInfoPtr& info, double start) {
    base::startupMark("mpv loadfile");
    if (info->isSecurityScoped()) {
        std::lock_guard lock(m_mutex);
        // One access for the session's life, ended by the teardown, whatever is loaded later.
        if (!m_securityScopeStarted) {
            m_securityScopePath = info->url().path();
            foundation::SecurityScope::start(m_securityScopePath);
            m_securityScopeStarted = true;
        }
    }
    const std::string address = info->url().absoluteString();
    const MediaOrigin origin = info->video()->origin();
    auto args = argumentVector(MPVCommand::loadfile, {address, "replace", startOption(start)});
    std::vector<const char*> pointers;
    for (const auto& arg : args) pointers.push_back(arg ? arg->c_str() : nullptr);
    int status = 0;
    bool loaded = withHandle([&](mpv_handle* handle) {
        // An address its origin may not have (a link's "file:" URL) is refused as mpv refuses one.
        if (!mediaLimits(origin).allows(address)) {
            status = MPV_ERROR_LOADING_FAILED;
            return;
        }
        // The reply names the playlist entry, so events of an older file can be told apart.
        mpv_node result{};
        status = mpv_command_ret(handle, pointers.data(), &result);
        if (status < 0) return;
        std::int64_t entry = -1;
        if (result.format == MPV_FORMAT_NODE_MAP) {
            for (int i = 0; i < result.u.list->num; ++i) {
                if (std::string_view(result.u.list->keys[i]) == "playlist_entry_id" &&
                    result.u.list->values[i].format == MPV_FORMAT_INT64)
                    entry = result.u.list->values[i].u.int64;
            }
        }
        mpv_free_node_contents(&result);
        m_trail.reset(entry);
        m_latestLoadOrigin = origin;
        m_latestLoadStart = start;
        m_trailLoaded = false;
    });
    // A load ends in a playback restart, as a seek does; one mpv refused ends here.
    m_seeks.handedOver(loaded && status >= 0);
    if (!loaded) return;
    if (status < 0) {
        // mpv refused the command itself: no file starts or ends, so say so here.
        EndFileEvent failed{MPV_END_FILE_REASON_ERROR, status};
        dispatch::Queue::main()->async([self = shared_from_this(), failed] {
            if (self->onEndFile) self->onEndFile(endFileAction(failed, false, false), failed);
        });
        return;
    }
    m_latestLoadInfo = info;
    setStringNow("sub-ass-override", "yes");
    // The default for what mpv finds by name; each file's limits (set as it opens) switch it off
    // for every file but the user's own.
    setStringNow("sub-auto", "fuzzy");
    if (info->isSecurityScoped())
        for (const auto& option : kSecurityScopedCache) setStringNow(option.name, option.value);
    setStringNow("alang", preferences().audioLanguage.wrappedValue());
    setStringNow("slang", preferences().subtitleLanguage.wrappedValue());
}

void MPVSession::handleFileLoaded(const mpv_event&) {
    base::startupMark("mpv file loaded");
    // Only for the file the last load was started for, or an entry its playlist became: after a
    // quick switch, the first file's late event must not fill the new record with its tracks.
    if (!m_trail.follows(m_startedEntry) || !m_latestLoadInfo) return;
    auto info = m_latestLoadInfo;
    m_loadedEntry = m_startedEntry;
    {
        std::lock_guard lock(m_mutex);
        // A later load on the main thread already moved on to another record.
        if (m_playbackInfo == info) m_loadedInfo = info->serial();
    }
    // mpv gives a playlist's entries none of the playlist's own options: the first one starts
    // where the file was to start.
    if (!std::exchange(m_trailLoaded, true) && !m_trail.isLoadedEntry(m_startedEntry) && m_latestLoadStart > 0) {
        const std::vector<std::optional<std::string>> seekTo{decimal(m_latestLoadStart), "absolute"};
        command(MPVCommand::seek, seekTo);
    }
    applyFileOptions(info);
    updateSubtitleFont();
    updateChapters(*info);
    updateTracks(*info);
    reselectSavedTracks(*info);
    dispatch::Queue::main()->async([self = shared_from_this(), info] {
        if (self->onFileLoaded) self->onFileLoaded(info);
    });
}

void MPVSession::applyFileOptions(const PlaybackInfoPtr& info) {
    auto& settings = preferences();
    if (info->isRestored()) setFlagNow("pause", true);
    setDoubleNow("speed", info->playbackSpeed().value_or(1.0));
    setFlagNow("deinterlace", info->deinterlace().value_or(false));
    setStringNow("loop-file", info->loop().value_or(false) ? "inf" : "no");
    setIntNow("volume", info->volume().value_or(100));
    setDoubleNow("sub-scale", settings.subtitleScale.wrappedValue());
    setDoubleNow("sub-delay", settings.subtitleDelay.wrappedValue());
    setDoubleNow("sub-border-size", settings.subtitleBorderSize.wrappedValue());
    setDoubleNow("sub-shadow-offset", settings.subtitleShadow.wrappedValue() ? 1.5 : 0.0);
    // The automatic position is the layout's to set.
    if (!settings.subtitlePositionAuto.wrappedValue()) setIntNow("sub-pos", settings.subtitlePosition.wrappedValue());
    setStringNow("sub-shadow-color", "#33000000");
    if (m_options.documentsClient) {
        auto folder = m_options.documentsClient->screenshotsURL();
        if (!folder.isEmpty()) setStringNow("screenshot-directory", folder.path());
    }
    setStringNow("screenshot-format", "png");
    setFlagNow("screenshot-high-bit-depth", false);
    if (settings.highQualityVideo.wrappedValue()) applyScalerSet(true, std::nullopt, false);
}

void MPVSession::applyScalerSet(bool highQuality, const std::optional<std::string>& pixelFormat, bool scalersOnly) {
    if (highQuality) {
        for (const auto& option : kHighQuality) setStringNow(option.name, option.value);
        return;
    }
    for (const char* scaler : kScalers) setStringNow(scaler, plainScaler(pixelFormat));
    if (scalersOnly) return;
    for (const char* flag : kQualityFlags) setStringNow(flag, "no");
}

void MPVSession::setHighQualityVideo(bool on) {
    m_commandQueue->async([self = shared_from_this(), on] {
        auto pixelFormat = on ? std::nullopt : self->stringProperty("video-params/hw-pixelformat");
        self->applyScalerSet(on, pixelFormat, false);
    });
}

void MPVSession::updateScalersForPixelFormat() {
    auto pixelFormat = stringProperty("video-params/hw-pixelformat");
    if (preferences().highQualityVideo.wrappedValue()) return;
    applyScalerSet(false, pixelFormat, true);
}

void MPVSession::updateHDR() {
    if (!preferences().useEDR.wrappedValue()) {
        hdrOff();
        return;
    }
    auto primaries = stringProperty("video-params/primaries");
    auto gamma = stringProperty("video-params/gamma");
    if (!primaries || !gamma) return;
    const ColorSpaceRow* row = nullptr;
    for (const auto& candidate : kHDRColorSpaces)
        if (*primaries == candidate.primaries) row = &candidate;
    if (!row) {
        hdrOff();
        return;
    }
    HDRMetadata metadata;
    metadata.primaries = *primaries;
    metadata.gamma = *gamma;
    metadata.colorSpace = *gamma == "pq" ? row->pq : *gamma == "hlg" ? row->hlg : row->other;
    if (*gamma == "hlg") {
        metadata.edrMetadata = gfx::EDRMetadata::hlg();
    } else {
        double minimum = doubleProperty("video-params/min-luminance").value_or(0);
        double maximum = doubleProperty("video-params/max-luminance").value_or(0);
        if (maximum == 0 && *gamma == "pq") {
            // The libmpv we build on reports no mastering luminances, only the tagged peak; without
            // this an HDR10 clip's static metadata never reached the display.
            minimum = 0;
            maximum = taggedPeakLuminance(doubleProperty("video-params/sig-peak").value_or(0));
        }
        if (maximum != 0)
            metadata.edrMetadata =
                gfx::EDRMetadata::hdr10(static_cast<float>(minimum), static_cast<float>(maximum), 10000);
    }
    dispatch::Queue::main()->async([self = shared_from_this(), metadata] {
        auto screen = self->m_options.screen ? self->m_options.screen : ui::Screen::main();
        if (screen && screen->potentialEDRHeadroom() > 1.0) {
            self->playbackInfo()->setIsHdr(true);
            if (self->onHDRMetadata) self->onHDRMetadata(metadata);
        } else {
            self->hdrOff();
        }
    });
}

void MPVSession::hdrOff() {
    dispatch::Queue::main()->async([self = shared_from_this()] {
        self->playbackInfo()->setIsHdr(false);
        if (self->onHDRMetadata) self->onHDRMetadata(std::nullopt);
    });
    // Queued, not written here: HDR off is also reached from the main thread.
    setStringProperty("target-prim", "auto");
    setStringProperty("target-trc", "auto");
}

void MPVSession::durationChanged() {
    // A length reported after a load but before its file started is the replaced file's: it
    // would be written into the new record, and into its video's library entry.
    if (!m_trail.follows(m_startedEntry) || !m_latestLoadInfo) return;
    double value = doubleProperty("duration").value_or(0);
    // A damaged header can claim any length (1e10 s); such a length is no length at all.
    if (!std::isnormal(value) || !usableDuration(value)) return;
    dispatch::Queue::main()->async([self = shared_from_this(), value, info = m_latestLoadInfo] {
        if (info != self->playbackInfo()) return;  // another video is on its way
        bool changed = false;
        auto known = info->duration();
        // A stream's duration only grows; a file's first known duration stays, but for a length
        // mpv estimates (the header gave none), which grows as mpv reads further into the file.
        const bool estimated = self->m_estimatedLengthInfo == info->serial();
        if ((estimated || (info->isSecurityScoped() && info->isNetworkStream())) && known && *known < value)
            changed = true;
        if (!known) {
            changed = true;
            self->m_estimatedLengthInfo = info->serial();
        }
        if (!changed) return;
        info->setDuration(value);
        info->video()->setDuration(VideoTime{value});
        if (self->onDurationChanged) self->onDurationChanged();
    });
}

void MPVSession::chapterChanged() {
    auto chapter = static_cast<int>(intProperty("chapter").value_or(0));
    dispatch::Queue::main()->async(
        [self = shared_from_this(), chapter] { self->playbackInfo()->setCurrentChapter(chapter); });
}

void MPVSession::hwdecChanged() { hwdecReported(stringProperty("hwdec-current")); }

void MPVSession::hwdecReported(const std::optional<std::string>& current) {
    if (!current) return;
    // A decoder's name; mpv says "no" (or nothing) when it decodes in software.
    bool hardware = !current->empty() && *current != "no";
    dispatch::Queue::main()->async(
        [self = shared_from_this(), hardware] { self->playbackInfo()->setIsHwdec(hardware); });
    if (!playbackInfo()->isPaused() || !current->empty()) return;
    // The decoder went while paused, taking the picture with it: switching decoders once makes
    // mpv decode the paused frame again. From the configured decoder to mpv's choice, and back.
    auto hwdec = stringProperty("hwdec");
    if (!hwdec) return;
    const std::string next = *hwdec == m_configuredHwdec ? "auto" : m_configuredHwdec;
    // Timed on the main run loop, whose clock tests drive; the write itself is queued here.
    dispatch::Queue::main()->asyncAfter(kPausedDecoderSwitchDelay, [weak = weak_from_this(), next] {
        if (auto self = weak.lock()) self->setStringProperty("hwdec", next);
    });
}

}  // namespace reelhaven
