#include "core/ffmpeg_input_options.h"

#include <algorithm>
#include <array>
#include <string_view>

extern "C" {
#include <libavformat/avformat.h>
}

namespace reelhaven {

namespace {

// Demuxers that reach past their input through the input's own protocol rules: SDP binds the RTP
// ports its text names, concat and IMF open the files their lists name, MLV its numbered sibling
// files. Those that open their inputs themselves (image sequences, RTSP, RTP, SAP, capture
// devices) carry AVFMT_NOFILE and are left out as well.
constexpr std::array<std::string_view, 4> kDirectAccess{"sdp", "concat", "imf", "mlv"};
// Demuxers that follow a manifest to further media (HLS, DASH), or open a file beside theirs
// (VobSub's .sub). Over the web their parts come through the permitted protocols; a library
// file is read alone.
constexpr std::array<std::string_view, 3> kReferences{"hls", "dash", "vobsub"};

template <std::size_t N>
bool listed(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Every demuxer this FFmpeg has that `demuxers` allows, joined by commas (a demuxer's own name
// may hold several, "matroska,webm": FFmpeg matches them one by one).
std::string allowedDemuxers(MediaLimits::Demuxers demuxers) {
    std::string list;
    void* position = nullptr;
    while (const AVInputFormat* format = av_demuxer_iterate(&position)) {
        const std::string_view name = format->name;
        if ((format->flags & AVFMT_NOFILE) || listed(kDirectAccess, name)) continue;
        if (demuxers == MediaLimits::Demuxers::singleFile && listed(kReferences, name)) continue;
        if (!list.empty()) list += ',';
        list += name;
    }
    return list;
}

// Computed once for each kind: the list is the library's, fixed for the process. Never destroyed:
// the library's jobs may still open a file while the process exits.
const std::string& demuxerWhitelist(MediaLimits::Demuxers demuxers) {
    static const auto& noDirectAccess = *new std::string(allowedDemuxers(MediaLimits::Demuxers::noDirectAccess));
    static const auto& singleFile = *new std::string(allowedDemuxers(MediaLimits::Demuxers::singleFile));
    return demuxers == MediaLimits::Demuxers::singleFile ? singleFile : noDirectAccess;
}

std::string joined(const std::vector<std::string>& names) {
    std::string list;
    for (const auto& name : names) list += (list.empty() ? "" : ",") + name;
    return list;
}

}  // namespace

std::vector<FFmpegOption> ffmpegInputOptions(const MediaLimits& limits) {
    std::vector<FFmpegOption> options;
    if (limits.protocols) options.push_back({"protocol_whitelist", joined(*limits.protocols)});
    if (limits.demuxers != MediaLimits::Demuxers::any)
        options.push_back({"format_whitelist", demuxerWhitelist(limits.demuxers)});
    return options;
}

}  // namespace reelhaven
