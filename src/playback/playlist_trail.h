#pragma once

#include <cstdint>
#include <map>
#include <optional>

#include "playback/end_file_action.h"

namespace reelhaven {

// The playlist entries one load has become. mpv opens a playlist (m3u, pls, an HLS list it
// reads as one) as a file, ends it with the reason "redirect" and plays the entries it read in
// its place, each as a file of its own. The player follows those entries as the file it loaded:
// their loads and ends are its file's, and the file has ended once the last of them has.
//
// A playlist may name itself, or another that names it back: mpv would expand it for ever. An
// expansion nested deeper than `kMaxDepth` ends the load as a file that could not be played.
//
// Command queue (the session's event handlers); plain state, no threads of its own.
class PlaylistTrail {
public:
    // Playlists within playlists a real list needs, with room to spare; a loop passes it at once,
    // as mpv plays each expansion's first entry next.
    static constexpr int kMaxDepth = 8;

    // A new load: its own entry is the one followed; none before the first load.
    void reset(std::int64_t entry);
    bool follows(std::int64_t entry) const { return m_entries.count(entry) != 0; }
    // Whether `entry` is the load's own, not one a playlist expanded into.
    bool isLoadedEntry(std::int64_t entry) const { return entry == m_loadEntry; }

    struct End {
        std::int64_t entry = -1;
        int reason = 0;  // mpv_end_file_reason
        int error = 0;
        std::int64_t insertId = 0;  // "redirect": the first entry mpv put in its place
        int insertCount = 0;        // and how many
        bool played = false;        // the entry had loaded and its playback had started
    };
    struct Verdict {
        EndFileEvent event;
        // mpv would go on expanding a loop: it is to be stopped.
        bool stopPlayback = false;
    };
    // A followed entry ended. None while mpv goes on to another followed entry; else how the
    // load as a whole ended. After that nothing is followed until the next `reset`.
    std::optional<Verdict> ended(const End& end);

private:
    Verdict finish(EndFileEvent event);

    std::int64_t m_loadEntry = -1;
    std::map<std::int64_t, int> m_entries;  // followed entry -> how deep in playlists it lies
    bool m_playedToEnd = false;             // an entry played to its end
    bool m_played = false;                  // an entry loaded and started playing
    std::optional<EndFileEvent> m_lastFailure;
};

}  // namespace reelhaven
