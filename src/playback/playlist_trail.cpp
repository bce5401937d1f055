#include "playback/playlist_trail.h"

#include <mpv/client.h>

namespace reelhaven {

void PlaylistTrail::reset(std::int64_t entry) {
    m_loadEntry = entry;
    m_entries = {{entry, 0}};
    m_playedToEnd = false;
    m_played = false;
    m_lastFailure.reset();
}

std::optional<PlaylistTrail::Verdict> PlaylistTrail::ended(const End& end) {
    const auto found = m_entries.find(end.entry);
    if (found == m_entries.end()) return std::nullopt;
    const int depth = found->second;
    m_entries.erase(found);
    m_played = m_played || end.played;
    switch (end.reason) {
        case MPV_END_FILE_REASON_REDIRECT:
            if (end.insertCount > 0 && depth >= kMaxDepth) {
                Verdict verdict = finish({MPV_END_FILE_REASON_ERROR, MPV_ERROR_LOADING_FAILED, m_played});
                verdict.stopPlayback = true;
                return verdict;
            }
            for (int i = 0; i < end.insertCount; ++i) m_entries.emplace(end.insertId + i, depth + 1);
            break;
        case MPV_END_FILE_REASON_EOF: m_playedToEnd = true; break;
        case MPV_END_FILE_REASON_ERROR: m_lastFailure = EndFileEvent{end.reason, end.error, end.played}; break;
        default:  // stopped or quit: something else took over
            return finish({end.reason, end.error, end.played});
    }
    if (!m_entries.empty()) return std::nullopt;  // mpv plays the next entry
    // A list whose later entries failed after one played to its end was played all the same.
    if (m_playedToEnd) return finish({MPV_END_FILE_REASON_EOF, 0, m_played});
    if (m_lastFailure) return finish(*m_lastFailure);
    // A playlist that named nothing: nothing could be played.
    return finish({MPV_END_FILE_REASON_ERROR, MPV_ERROR_NOTHING_TO_PLAY, m_played});
}

PlaylistTrail::Verdict PlaylistTrail::finish(EndFileEvent event) {
    m_entries.clear();
    return Verdict{event, false};
}

}  // namespace reelhaven
