#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "core/atomic.h"
#include "core/video_progress.h"
#include "platform/foundation/url.h"

namespace reelhaven {

class Video;

// The saved playback state of every video played, keyed by a hash of the video's file name, kept
// in memory and written as one JSON object to Application Support/"progressData". Safe from any
// thread: reads and changes go through the Atomic map; saves are serialised among themselves.
class ProgressClient {
public:
    using Records = std::unordered_map<std::string, VideoProgress>;

    static constexpr const char* kFileName = "progressData";
    // Files opened from elsewhere are remembered only from this position on.
    static constexpr double kSecurityScopedMinimumProgress = 20.0;

    // Starts empty, then loads the file.
    static std::shared_ptr<ProgressClient> create();

    // The key of a video: 32 lower-case hex digits of the MD5 of its decoded file name without
    // the extension. The folder is not part of it.
    static std::string progressKey(const foundation::URL& url);

    // Replaces the records with the file's, read record by record: a record cut off is dropped
    // alone, a record's unusable value (one JSON cannot carry, out of range or nested too deep)
    // alone from it. A file that is not a JSON object changes nothing. Whatever is dropped is
    // kept in a copy beside the file ("progressData.corrupt-<time>", the newest few). Only a
    // regular file is read; temporaries of saves that were killed are removed first.
    void load();
    // Writes the records: a temporary file in the same folder renamed over the old one, so the
    // file always holds a whole save and a failed save leaves the old one and no temporary.
    // Creates Application Support when it is missing.
    void save();
    // Forgets every record and deletes the file, then posts kDidDeleteAllNotification.
    void deleteAll();
    // Posted on the default notification center by `deleteAll`, on its thread, with the client as
    // its object: whatever shows a video's progress reads the emptied store again.
    static constexpr const char* kDidDeleteAllNotification = "ProgressClientDidDeleteAll";

    std::optional<VideoProgress> progress(const Video& video) const;
    // Drops the video's record; saves nothing.
    void remove(const Video& video);
    // Merges a new position and the per-video choices into the video's record; saves nothing.
    // A file opened from elsewhere loses its record when marked finished or left under 20 s; a
    // video without a duration never gets a first record. A position within kPositionTolerance
    // before the start is 0; one that is not a number or far outside media changes nothing. A
    // choice the player does not offer is stored as absent.
    void update(const Video& video, double progress, std::optional<bool> isFinished,
                const VideoProgress::Choices& choices);

    Records records() const { return m_progress.value(); }
    Atomic<Records>& progressRecords() { return m_progress; }

private:
    ProgressClient() = default;
    std::optional<foundation::URL> fileURL(bool createFolder) const;

    Atomic<Records> m_progress;
    std::mutex m_fileMutex;  // one save, load or delete of the file at a time
};

}  // namespace reelhaven
