#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/file_descriptor.h"

namespace reelhaven {

// A library file and the subtitle files the library lists for it, each opened once and cleared as
// that open file (`clearMediaDescriptor`), for mpv to read through the very descriptor: a rename
// meanwhile cannot put another file under the name, and mpv never looks anything up by name.
//
// `clear` blocks for as long as the clearances do (seconds for a large file): call it on a
// background queue, never on the main thread nor on the mpv command queue, which the main thread
// waits for.
class ClearedLibraryMedia {
public:
    struct Subtitle {
        foundation::FileDescriptor file;
        std::string title;                    // the file's name, as the popover shows it
        std::optional<std::string> language;  // from the name: "en" of "Film.en.srt"
    };

    // A subtitle file larger than this is not loaded. A feature film's SRT is about 100 KB and
    // the most heavily typeset ASS files a few MB; mpv holds a text subtitle several times over in
    // memory (a 300 MB one took 1.9 GB), so 32 MiB keeps even a padded one well within a file's
    // memory bound.
    static constexpr std::int64_t kMaximumSubtitleBytes = 32 * 1024 * 1024;

    // Opens and clears the video at `videoPath` and, when it was cleared, each of `subtitlePaths`
    // (a subtitle that cannot be opened, is too large or is refused is left out).
    static ClearedLibraryMedia clear(const std::string& videoPath, const std::vector<std::string>& subtitlePaths);

    // Whether the video was cleared; only then is there anything to play.
    bool cleared() const { return static_cast<bool>(m_video); }
    // The cleared video's descriptor, the session's until the entry ends; -1 when refused.
    int videoDescriptor() const { return m_video.get(); }
    const std::vector<Subtitle>& subtitles() const { return m_subtitles; }

    // The language a subtitle's file name gives after the video's name: two or three letters,
    // with an optional region ("pt-BR"), as the last part before the extension. None otherwise.
    static std::optional<std::string> languageOf(std::string_view fileName);

private:
    foundation::FileDescriptor m_video;
    std::vector<Subtitle> m_subtitles;
};

}  // namespace reelhaven
