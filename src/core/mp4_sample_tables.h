#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/byte_reader.h"

namespace reelhaven {

// Counts, from the sample tables of an MP4 or QuickTime file, the index entries FFmpeg's reader
// builds for it as it opens and reads it. It builds one per declared sample (24 bytes, and more
// beside), however few bytes declare them: a 1.5 KB file claiming fifty million samples of one
// size took 1.2 GB to list. A fragment's run of samples that carry no fields, an edit list that
// repeats a track's samples, uncompressed audio counted by chunks, a compressed header that
// inflates to a larger one, and a segment index of many fragments over many tracks (the reader
// keeps a record of each track for each fragment) grow it the same way; each is counted as the
// reader would build it.
// No state; any thread.
class Mp4SampleTables {
public:
    Mp4SampleTables() = delete;

    // What one entry takes at most while the reader builds them: the entry (24 bytes), its
    // composition time and its share of the copy the edit lists make.
    static constexpr std::uint64_t kBytesPerEntry = 40;
    // More entries than this take more than one file may to list or play (320 MB). A film of
    // seven hours at 60 pictures a second with five sound tracks has fewer.
    static constexpr std::uint64_t kMostEntries = 8'000'000;

    // The entries of the file read through `read` (in blocks: one read of `read` serves many box
    // headers); 0 for a file that holds no sample tables (no MP4 or QuickTime file at all, say).
    // None when the file cannot be counted within the walk's own bounds (compressed headers of
    // more than 16 MB, sample-to-chunk tables of more than 16 million entries read in all), which
    // is as many as too many.
    static std::optional<std::uint64_t> indexEntries(const ByteReader& read);

    // Whether the file's index stays within `kMostEntries`.
    static bool withinBound(const ByteReader& read);
    // The same for the file at `path`; true for one that cannot be opened (its reader says why).
    static bool fileWithinBound(const std::string& path);
};

}  // namespace reelhaven
