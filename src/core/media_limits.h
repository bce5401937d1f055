#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/media_origin.h"

namespace reelhaven {

// What reading one media address may reach beyond the address itself. The one place that says
// how far each origin is trusted: the player (per load and per playlist entry) and the library's
// own FFmpeg reads both apply it.
//
// Untrusted input (a library file, a link, a playlist's entry) must never make the app listen on
// a port nor open another file of this machine: FFmpeg's SDP reader binds the RTP ports its text
// names on every interface, HLS and DASH manifests and concat lists name files ("file:///...",
// "../../..."), image sequences and mpv's EDL, cue sheets and playlists name further files, and
// Matroska's linked segments and archives are opened by name. Only what the user asked for keeps
// every protocol and format.
struct MediaLimits {
    // Which demuxers may read it, from most to least permissive.
    enum class Demuxers {
        any,
        // None that opens a socket, a device or a file by a name of its own (SDP's RTP ports,
        // RTSP, SAP, image sequences, concat lists, IMF packages): manifests (HLS, DASH) still
        // fetch their parts, over `protocols` only.
        noDirectAccess,
        // Nor any that follows a manifest to other media: the one file alone.
        singleFile,
    };

    // The schemes the address itself may have, lower case; empty: any. A path is "file".
    std::vector<std::string> schemes;
    // The FFmpeg protocols its reading may use, the address's own included; none: any.
    std::optional<std::vector<std::string>> protocols;
    Demuxers demuxers = Demuxers::any;
    // Whether the player follows what it names as further media: a playlist's entries, mpv's EDL
    // and cue sheets, Matroska's linked segments, archives.
    bool followsReferences = true;
    // Whether the player looks beside the file for subtitle, audio and cover files by name (it
    // would list and read another folder for an address a stranger wrote).
    bool findsFilesBeside = true;

    // Whether the address (a URL, or a path) has one of `schemes`. A scheme is what comes before
    // the first ":" when that is a scheme's name ("HTTP://a" is "http"); anything else is a path.
    bool allows(std::string_view address) const;
};

// The limits of an address that came from `origin`:
// - a library file: that file alone, read through the file protocol by a demuxer that follows
//   nothing (the player adds the subtitle files the library lists for it, under the same limits,
//   and looks up nothing by name);
// - a link, and an entry of a playlist: http, https or ftp, with the protocols they run over;
//   a manifest's parts over those too, a playlist's entries under the entry's limits;
// - what the user chose: anything.
MediaLimits mediaLimits(MediaOrigin origin);

// The limits of an entry of a playlist that was loaded as `playlist`: an entry's. A playlist the
// user chose may also name files of this machine, as they could have named them themselves.
MediaLimits playlistEntryLimits(MediaOrigin playlist);

}  // namespace reelhaven
