#pragma once

#include <memory>
#include <string>

#include "core/ffmpeg_utility.h"
#include "core/media_helper_pool.h"
#include "core/refused_media.h"

namespace reelhaven {

// Reads what the library shows of its files (a length, a thumbnail) in the media helper
// processes: each file is opened here once and handed over as that descriptor. A file whose read
// takes a helper to a limit gets neither and is remembered, so it is not read again. What comes
// back is what FFmpegUtility gives for the file. Any thread but the main one: a read waits for
// its helper.
class LibraryMediaReader {
public:
    // `refused` may be null: nothing is remembered.
    LibraryMediaReader(MediaHelperPool& pool, std::shared_ptr<RefusedMedia> refused);

    // The reader of a container whose caches folder is `cachesFolder` (its refusals are kept
    // there; empty: nowhere), on the shared pool.
    static LibraryMediaReader forCaches(const std::string& cachesFolder);

    FFmpegUtility::Metadata metadata(const std::string& path) const;
    // Seconds, or -1 as FFmpegUtility::getDurationForFile gives.
    double duration(const std::string& path) const;

    // The store's file name in the caches folder.
    static constexpr const char* kRefusedFileName = "refused-media";

private:
    MediaHelperPool::Answer read(media_helper_channel::Request request, const std::string& path) const;

    MediaHelperPool& m_pool;
    std::shared_ptr<RefusedMedia> m_refused;
};

}  // namespace reelhaven
