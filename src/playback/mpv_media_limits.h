#pragma once

#include <string>

#include "core/media_limits.h"

struct mpv_handle;

namespace reelhaven {

// mpv's side of MediaLimits: the options that hold its reading of a file to them.
// - "access-references": whether it follows playlists, EDL and cue sheets, Matroska's linked
//   segments and archives, and whether its FFmpeg demuxers may open anything beyond their input;
// - "demuxer-lavf-o" and "stream-lavf-o": FFmpeg's protocol and format whitelists, for the
//   demuxers (an SDP text's RTP ports, a manifest's parts) and the streams mpv opens through
//   FFmpeg (http, https, ftp);
// - "sub-auto", "audio-file-auto" and "cover-art-auto": whether it looks for files beside the
//   file by name.
// Every option is written, so limits that allow everything undo stricter ones.
enum class MPVLimitScope {
    // The session's own options, before initialisation: what any file gets unless its load says
    // otherwise.
    session,
    // The file about to open (from mpv's on_load hook): they end with it.
    fileLocal,
};

// Writes the options; false when mpv refused one of them.
bool setMediaLimits(mpv_handle* handle, const MediaLimits& limits, MPVLimitScope scope);

// What a refused file is opened as instead: an address of a scheme no stream of mpv opens, so the
// load fails there (as a file that could not be loaded) before mpv does anything with the name it
// replaced; an empty stream would have it look for subtitles beside that name.
inline constexpr const char* kRefusedEntryAddress = "refused://";

}  // namespace reelhaven
