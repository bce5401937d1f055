#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "core/atomic.h"
#include "core/drag_origin.h"
#include "core/folder.h"
#include "core/subtitle.h"
#include "core/thumbnail_cache.h"
#include "core/video.h"
#include "core/video_manager_delegate.h"
#include "core/video_manager_job_counter.h"
#include "core/video_manager_job_table.h"
#include "platform/dispatch/queue.h"
#include "platform/foundation/url.h"

namespace gfx {
class Image;
}

namespace reelhaven {

class DocumentsClient;
class ProgressClient;

using SubtitlePtr = std::shared_ptr<Subtitle>;

// The library state of one folder: its folders and videos in display-name order, the subtitle
// files beside them, the last listing of each sub-folder, and the thumbnail and duration jobs.
// It merges fresh listings into its list without replacing unchanged item objects, fills in each
// video's subtitles, thumbnail, duration and size in the background, and performs the file
// operations of the folder's screen.
//
// Threads: every member may be called from any thread. Work that is scheduled runs on the
// serial "videoManager.processQueue" (listings, merges, metadata passes, folder refreshes) and
// the concurrent "videoManager.metadataQueue" (thumbnail and duration jobs and their
// completions). `update` runs as one critical section per manager. Every scheduled block holds
// the manager strongly until it has run.
//
// The members are implemented in three files along their seams: video_manager.cpp (fields,
// loading and merging), video_manager_metadata.cpp (metadata pass, thumbnails, durations) and
// video_manager_file_operations.cpp (the screens' file operations).
class VideoManager : public std::enable_shared_from_this<VideoManager> {
public:
    // Where a thumbnail came from.
    enum class ThumbnailSource { cache = 0, disk = 1, generated = 2, none = 3 };

    using ThumbnailCompletion = std::function<void(const VideoPtr&, std::shared_ptr<gfx::Image>, ThumbnailSource)>;
    // Seconds, or nothing when the duration cannot be read.
    using DurationCompletion = std::function<void(const VideoPtr&, std::optional<double>)>;

    // What a metadata pass reports each time one of its requests is answered, and once more when
    // it has made its last request and every request is answered (`finished`).
    struct MetadataPassProgress {
        VideoPtr video;                                  // the video answered; null in the final report
        std::optional<ThumbnailSource> thumbnailSource;  // set when the answer was the thumbnail
        std::size_t answered = 0;
        std::size_t requested = 0;  // grows while the pass is still making requests
        bool finished = false;
    };

    // The root manager, for the Documents folder.
    static std::shared_ptr<VideoManager> create(std::shared_ptr<DocumentsClient> documentsClient,
                                                std::shared_ptr<ProgressClient> progressClient);
    // The manager of a sub-folder, sharing `thumbnailCache` with the manager that makes it. It
    // schedules a reload of the folder before it returns; the creator then sets `parent`.
    static std::shared_ptr<VideoManager> create(std::shared_ptr<DocumentsClient> documentsClient,
                                                std::shared_ptr<ProgressClient> progressClient,
                                                std::shared_ptr<ThumbnailCache> thumbnailCache, foundation::URL url);

    VideoManager(const VideoManager&) = delete;
    VideoManager& operator=(const VideoManager&) = delete;

    // --- Fields (video_manager.cpp) ---

    // The manager of the enclosing folder's screen; null for the root or once it is gone.
    std::shared_ptr<VideoManager> parent() const;
    void setParent(const std::shared_ptr<VideoManager>& parent);
    // The folder; nothing for the root manager, which stands for Documents.
    const std::optional<foundation::URL>& url() const { return m_url; }
    // `url`, or the Documents folder for the root manager.
    foundation::URL folderURL() const;

    std::shared_ptr<VideoManagerDelegate> delegate() const;
    void setDelegate(const std::shared_ptr<VideoManagerDelegate>& delegate);

    // A copy of the item list: folders and videos, never subtitles, in name order.
    std::vector<LibraryItemPtr> library() const { return m_library.value(); }
    // True until the first update has told the delegate.
    bool initialLoad() const;
    // The subtitle files of the folder from the last listing that changed the library.
    std::vector<SubtitlePtr> externalSubtitles() const;

    // Videos whose cells need a refresh when the screen next appears.
    std::vector<VideoPtr> playedVideos() const;
    void insertPlayedVideo(const VideoPtr& video);
    // Returns the set and empties it, in one step.
    std::vector<VideoPtr> takePlayedVideos();

    const std::shared_ptr<dispatch::Queue>& videoManagerQueue() const { return m_videoManagerQueue; }
    const std::shared_ptr<dispatch::Queue>& metadataQueue() const { return m_metadataQueue; }
    const std::shared_ptr<ThumbnailCache>& thumbnailCache() const { return m_thumbnailCache; }
    const std::shared_ptr<DocumentsClient>& documentsClient() const { return m_documentsClient; }
    const std::shared_ptr<ProgressClient>& progressClient() const { return m_progressClient; }

    // Told as the metadata passes of this manager are answered; called on the thread that
    // answers (the metadata queue, or the process queue for memory-cache hits).
    void setOnMetadataPassProgress(std::function<void(const MetadataPassProgress&)> handler);

    // --- Loading and merging (video_manager.cpp) ---

    // Lists the folder on the process queue and hands the listing to `update`.
    void reload();
    // Merges a fresh listing of the folder (subtitles included) into the item list on the
    // caller's thread. Unchanged items keep their objects. When anything changed, tells the
    // delegate and schedules a metadata pass; when nothing did, only refreshes the sub-folders.
    void update(const std::vector<LibraryItemPtr>& listing);
    // Lists a sub-folder and fills its `contents`: its videos (at any depth when it holds fewer
    // than four directly), or its sorted listing when it holds none. Nothing when the listing is
    // the same as the last one seen.
    FolderPtr contents(const FolderPtr& folder);
    // Whether `a` sorts before `b`: their display names by the localized standard comparison.
    static bool nameOrder(const LibraryItemPtr& a, const LibraryItemPtr& b);
    // The lower-bound position of `item` in a list sorted by `nameOrder`.
    static std::size_t insertionIndex(const LibraryItemPtr& item, const std::vector<LibraryItemPtr>& sorted);
    // The subtitle files of the folder whose display name contains the video's (case-sensitive).
    std::vector<SubtitlePtr> externalSubtitles(const Video& video) const;

    // --- Metadata, thumbnails and durations (video_manager_metadata.cpp) ---

    // Fills in every video's subtitles, thumbnail, duration and size and refreshes every
    // sub-folder's contents. Runs on the process queue, where `update` schedules it.
    void loadMetadata();
    // The video's thumbnail: from the memory cache at once on the caller's thread, else later on
    // the metadata queue from the PNG file in Caches or made from the video. A request while the
    // item's job runs joins that job; every request is answered exactly once.
    void thumbnail(const VideoPtr& video, ThumbnailCompletion completion);
    // The video's duration in seconds, read from the file on the metadata queue; joins like
    // `thumbnail`. Every request is answered exactly once.
    void duration(const VideoPtr& video, DurationCompletion completion);
    // Blocks until every thumbnail and duration job started so far has ended and answered.
    // Jobs wait their turn behind those of other managers, so a queue flush does not cover them.
    void waitForMetadataJobs() const;
    // The same for at most `timeout`: true when they have all ended (a caller serving a window
    // meanwhile waits in slices).
    bool waitForMetadataJobs(std::chrono::milliseconds timeout) const;
    // The thumbnail from Caches, else made from the video. Blocks; the thumbnail jobs call it.
    std::pair<std::shared_ptr<gfx::Image>, ThumbnailSource> loadThumbnail(const Video& video) const;

    // --- File operations (video_manager_file_operations.cpp) ---
    // Positions index the item list as it stands. Operations report success as a Bool; file
    // errors never escape.

    // Empties Caches (but "Snapshots"), the item list, the folder caches and the memory cache,
    // then lists the folder again; on the process queue.
    void clearCache();
    // Moves the items at `positions` (with the subtitle files that belong to them) into the
    // folder `destination`. False, with nothing moved, when a position is out of range; false at
    // the first item that cannot be moved (those before it stay moved).
    bool move(const std::vector<int>& positions, const foundation::URL& destination);
    // Renames the item at `position`: a file keeps its extension, a folder takes `name` as it is.
    // False for unsafe names (empty, ".", "..", a leading ".", "/" or NUL) and failed renames.
    bool rename(int position, const std::string& name);
    // Creates a folder named `name` in this folder and adds it to the list (on the process
    // queue). False for unsafe names and when the folder cannot be made.
    bool createFolder(const std::string& name);
    // Deletes the items at `positions` with their subtitle files, thumbnails and progress
    // records. False, with nothing changed, when a position is out of range; false at the first
    // item that cannot be removed (it and the items after it go back into the list).
    bool deleteItems(const std::vector<int>& positions);
    // Moves dragged items into the folder at `destination` (or into this folder when that is no
    // folder), lists this folder again and schedules a reload of every other origin manager.
    void move(const std::vector<DragOrigin>& origins, std::optional<int> destination);
    // Moves picked files into the top of Documents (skipping names that exist there); the root
    // manager also adds them to its list. On the process queue.
    void importDocuments(const std::vector<foundation::URL>& urls);
    // The video after `video` among the list's videos, added to `playedVideos`; nothing when
    // `video` is not in the list or is the last.
    VideoPtr nextVideo(const Video& video);

private:
    VideoManager(std::shared_ptr<DocumentsClient> documentsClient, std::shared_ptr<ProgressClient> progressClient,
                 std::shared_ptr<ThumbnailCache> thumbnailCache, std::optional<foundation::URL> url);

    class MetadataPass;

    // A request waiting for a job, answered with its own video object (a renamed video's new
    // object shares the id of the old one).
    struct ThumbnailWaiter {
        VideoPtr video;
        ThumbnailCompletion completion;
    };
    struct DurationWaiter {
        VideoPtr video;
        DurationCompletion completion;
    };

    // video_manager.cpp
    void scheduleOnProcessQueue(std::function<void(VideoManager&)> work);
    void refreshFolder(const FolderPtr& folder);
    void clearCachedFolders();
    void tellLibraryDidChange();
    void insertPlayedVideoLocked(const VideoPtr& video);
    // Sets the video's subtitles to those of the folder that match it (none when none do).
    void attachSubtitles(const VideoPtr& video) const;
    static void sortByName(std::vector<LibraryItemPtr>& items);

    // video_manager_metadata.cpp
    void loadMetadata(const std::shared_ptr<MetadataPass>& pass, const VideoPtr& video);
    void startJob(std::function<void(VideoManager&)> job);
    // Answer what they can at once and join running jobs; true when the caller starts the job.
    bool admitThumbnail(const VideoPtr& video, ThumbnailCompletion completion);
    bool admitDuration(const VideoPtr& video, DurationCompletion completion);
    void runThumbnailJob(const VideoPtr& video);
    void runDurationJob(const VideoPtr& video);
    // Both of one video from one opening of its file, where its thumbnail is to be made.
    void runMetadataJob(const VideoPtr& video);
    void deliverThumbnail(const VideoPtr& video, std::shared_ptr<gfx::Image> image, ThumbnailSource source);
    void deliverDuration(const VideoPtr& video, double seconds);
    std::shared_ptr<gfx::Image> cachedThumbnail(const Video& video) const;
    std::shared_ptr<gfx::Image> thumbnailFromCaches(const Video& video) const;

    // video_manager_file_operations.cpp
    bool isDocumentsManager() const;
    std::vector<SubtitlePtr> ownedSubtitles(const VideoPtr& video, const std::vector<LibraryItemPtr>& others) const;
    void forgetSubtitles(const std::vector<SubtitlePtr>& subtitles);
    // Drops the thumbnails of deleted videos, and their progress records unless a video still in
    // the library has the same record key; then saves the store.
    void forgetVideos(const std::vector<VideoPtr>& videos);
    // The record keys of every video under Documents (the system's Inbox left out).
    std::unordered_set<std::string> progressKeysInLibrary() const;
    void insertSorted(const LibraryItemPtr& item);

    const std::optional<foundation::URL> m_url;
    const std::shared_ptr<dispatch::Queue> m_videoManagerQueue;
    const std::shared_ptr<dispatch::Queue> m_metadataQueue;
    const std::shared_ptr<ThumbnailCache> m_thumbnailCache;
    const std::shared_ptr<DocumentsClient> m_documentsClient;
    const std::shared_ptr<ProgressClient> m_progressClient;

    Atomic<std::vector<LibraryItemPtr>> m_library;
    VideoManagerJobTable<ThumbnailWaiter> m_thumbnailOperations;
    VideoManagerJobTable<DurationWaiter> m_durationOperations;

    // Jobs started and not yet ended; shared with the jobs, which end after letting go of the
    // manager.
    const std::shared_ptr<VideoManagerJobCounter> m_jobsInFlight = std::make_shared<VideoManagerJobCounter>();

    // Makes each `update` one step, so two callers that both find the list empty cannot both
    // append the listing.
    std::mutex m_updateMutex;

    // Guards the plain fields below.
    mutable std::mutex m_mutex;
    std::weak_ptr<VideoManager> m_parent;
    std::weak_ptr<VideoManagerDelegate> m_delegate;
    bool m_initialLoad = true;
    std::vector<SubtitlePtr> m_externalSubtitles;
    std::unordered_map<foundation::URL, std::vector<LibraryItemPtr>> m_cachedFolders;
    std::vector<VideoPtr> m_playedVideos;
    std::function<void(const MetadataPassProgress&)> m_onMetadataPassProgress;
};

}  // namespace reelhaven
