#include "core/video_manager.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "core/documents_client.h"
#include "core/progress_client.h"
#include "platform/foundation/string_compare.h"

namespace reelhaven {

namespace {

// Items are the same entry when they are equal (id and display name) and still at the same
// place: an item whose extension changed under the same name must not keep its old URL.
bool sameEntry(const LibraryItemPtr& a, const LibraryItemPtr& b) { return *a == *b && a->url() == b->url(); }

struct SameEntry {
    bool operator()(const LibraryItemPtr& a, const LibraryItemPtr& b) const { return sameEntry(a, b); }
};

// Keyed by entry, not by item equality: two files that share an id and a display name (a copy
// that kept its attributes under another extension) are two entries, and neither may hide the
// other.
using ItemSet = std::unordered_set<LibraryItemPtr, LibraryItemPtrHash, SameEntry>;

bool containsEntry(const ItemSet& set, const LibraryItemPtr& item) { return set.contains(item); }

// The items that are in exactly one of the two lists: those of `current` that left first, then
// those of `listing` that are new.
std::vector<LibraryItemPtr> changesBetween(const std::vector<LibraryItemPtr>& current,
                                           const std::vector<LibraryItemPtr>& listing) {
    const ItemSet currentSet(current.begin(), current.end());
    const ItemSet listingSet(listing.begin(), listing.end());
    std::vector<LibraryItemPtr> changes;
    for (const auto& item : current)
        if (!containsEntry(listingSet, item)) changes.push_back(item);
    for (const auto& item : listing)
        if (!containsEntry(currentSet, item)) changes.push_back(item);
    return changes;
}

// Each change that is in the list leaves it (its first occurrence); each other change joins it
// at the end. Done with one hash look-up per item, as large folders change by many items at once.
void applyChanges(const std::vector<LibraryItemPtr>& changes, std::vector<LibraryItemPtr>& library) {
    std::unordered_map<LibraryItemPtr, bool, LibraryItemPtrHash, SameEntry> handled;
    for (const auto& change : changes) handled.emplace(change, false);
    std::erase_if(library, [&](const LibraryItemPtr& item) {
        auto change = handled.find(item);
        if (change == handled.end() || change->second) return false;
        change->second = true;
        return true;
    });
    for (const auto& change : changes) {
        bool& done = handled.find(change)->second;
        if (!done) library.push_back(change);
        done = true;
    }
}

template <typename Item>
bool sameEntries(const std::vector<std::shared_ptr<Item>>& a, const std::vector<std::shared_ptr<Item>>& b) {
    if (a.size() != b.size()) return false;
    const ItemSet set(a.begin(), a.end());
    return std::all_of(b.begin(), b.end(), [&](const auto& item) { return containsEntry(set, item); });
}

bool equalInOrder(const std::vector<LibraryItemPtr>& a, const std::vector<LibraryItemPtr>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const LibraryItemPtr& x, const LibraryItemPtr& y) { return *x == *y; });
}

}  // namespace

// --- Creation and fields ---

VideoManager::VideoManager(std::shared_ptr<DocumentsClient> documentsClient,
                           std::shared_ptr<ProgressClient> progressClient,
                           std::shared_ptr<ThumbnailCache> thumbnailCache, std::optional<foundation::URL> url)
    : m_url(std::move(url)),
      m_videoManagerQueue(dispatch::Queue::create("videoManager.processQueue", dispatch::QueueKind::serial,
                                                  dispatch::QoS::userInitiated)),
      m_metadataQueue(dispatch::Queue::create("videoManager.metadataQueue", dispatch::QueueKind::concurrent,
                                              dispatch::QoS::userInitiated)),
      m_thumbnailCache(std::move(thumbnailCache)),
      m_documentsClient(std::move(documentsClient)),
      m_progressClient(std::move(progressClient)) {}

std::shared_ptr<VideoManager> VideoManager::create(std::shared_ptr<DocumentsClient> documentsClient,
                                                   std::shared_ptr<ProgressClient> progressClient) {
    return std::shared_ptr<VideoManager>(new VideoManager(std::move(documentsClient), std::move(progressClient),
                                                          ThumbnailCache::create(), std::nullopt));
}

std::shared_ptr<VideoManager> VideoManager::create(std::shared_ptr<DocumentsClient> documentsClient,
                                                   std::shared_ptr<ProgressClient> progressClient,
                                                   std::shared_ptr<ThumbnailCache> thumbnailCache,
                                                   foundation::URL url) {
    auto manager = std::shared_ptr<VideoManager>(new VideoManager(std::move(documentsClient), std::move(progressClient),
                                                                  std::move(thumbnailCache), std::move(url)));
    manager->reload();
    return manager;
}

std::shared_ptr<VideoManager> VideoManager::parent() const {
    std::lock_guard lock(m_mutex);
    return m_parent.lock();
}

void VideoManager::setParent(const std::shared_ptr<VideoManager>& parent) {
    std::lock_guard lock(m_mutex);
    m_parent = parent;
}

foundation::URL VideoManager::folderURL() const { return m_url ? *m_url : m_documentsClient->documentsURL(); }

std::shared_ptr<VideoManagerDelegate> VideoManager::delegate() const {
    std::lock_guard lock(m_mutex);
    return m_delegate.lock();
}

void VideoManager::setDelegate(const std::shared_ptr<VideoManagerDelegate>& delegate) {
    std::lock_guard lock(m_mutex);
    m_delegate = delegate;
}

bool VideoManager::initialLoad() const {
    std::lock_guard lock(m_mutex);
    return m_initialLoad;
}

std::vector<SubtitlePtr> VideoManager::externalSubtitles() const {
    std::lock_guard lock(m_mutex);
    return m_externalSubtitles;
}

std::vector<VideoPtr> VideoManager::playedVideos() const {
    std::lock_guard lock(m_mutex);
    return m_playedVideos;
}

void VideoManager::insertPlayedVideo(const VideoPtr& video) {
    std::lock_guard lock(m_mutex);
    insertPlayedVideoLocked(video);
}

void VideoManager::insertPlayedVideoLocked(const VideoPtr& video) {
    // A set under item equality.
    const bool present = std::any_of(m_playedVideos.begin(), m_playedVideos.end(),
                                     [&](const VideoPtr& played) { return *played == *video; });
    if (!present) m_playedVideos.push_back(video);
}

std::vector<VideoPtr> VideoManager::takePlayedVideos() {
    std::lock_guard lock(m_mutex);
    return std::exchange(m_playedVideos, {});
}

void VideoManager::setOnMetadataPassProgress(std::function<void(const MetadataPassProgress&)> handler) {
    std::lock_guard lock(m_mutex);
    m_onMetadataPassProgress = std::move(handler);
}

void VideoManager::scheduleOnProcessQueue(std::function<void(VideoManager&)> work) {
    m_videoManagerQueue->async([self = shared_from_this(), work = std::move(work)] { work(*self); });
}

void VideoManager::clearCachedFolders() {
    std::lock_guard lock(m_mutex);
    m_cachedFolders.clear();
}

void VideoManager::tellLibraryDidChange() {
    if (auto delegate = this->delegate()) delegate->libraryDidChange();
}

// --- Order ---

bool VideoManager::nameOrder(const LibraryItemPtr& a, const LibraryItemPtr& b) {
    return foundation::StringCompare::localizedStandardCompare(a->displayName(), b->displayName()) < 0;
}

void VideoManager::sortByName(std::vector<LibraryItemPtr>& items) {
    // Display names are read once each rather than in every comparison.
    std::vector<std::pair<std::string, LibraryItemPtr>> named;
    named.reserve(items.size());
    for (auto& item : items) named.emplace_back(item->displayName(), std::move(item));
    std::stable_sort(named.begin(), named.end(), [](const auto& a, const auto& b) {
        return foundation::StringCompare::localizedStandardCompare(a.first, b.first) < 0;
    });
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = std::move(named[i].second);
}

std::size_t VideoManager::insertionIndex(const LibraryItemPtr& item, const std::vector<LibraryItemPtr>& sorted) {
    auto position = std::lower_bound(sorted.begin(), sorted.end(), item, nameOrder);
    return static_cast<std::size_t>(position - sorted.begin());
}

// --- Loading and merging ---

void VideoManager::reload() {
    scheduleOnProcessQueue(
        [](VideoManager& manager) { manager.update(manager.m_documentsClient->contents(manager.folderURL(), false)); });
}

void VideoManager::update(const std::vector<LibraryItemPtr>& listing) {
    std::vector<LibraryItemPtr> entries;
    std::vector<SubtitlePtr> subtitles;
    bool everySubtitleIsOne = true;
    for (const auto& item : listing) {
        if (item->type() != LibraryItemType::subtitle) {
            entries.push_back(item);
        } else if (auto subtitle = std::dynamic_pointer_cast<Subtitle>(item)) {
            subtitles.push_back(std::move(subtitle));
        } else {
            everySubtitleIsOne = false;
        }
    }
    if (!everySubtitleIsOne) subtitles.clear();

    bool changed = false;
    bool wasInitialLoad = false;
    {
        std::lock_guard updating(m_updateMutex);
        const auto current = m_library.value();
        // Subtitle files are not in the list; a listing counts as changed when they changed.
        const bool subtitlesChanged = !sameEntries(externalSubtitles(), subtitles);
        if (current.empty()) {
            changed = initialLoad() || !entries.empty() || subtitlesChanged;
            if (changed) {
                m_library.mutate([&](std::vector<LibraryItemPtr>& library) {
                    library.insert(library.end(), entries.begin(), entries.end());
                    sortByName(library);
                });
            }
        } else {
            const auto changes = changesBetween(current, entries);
            changed = !changes.empty() || subtitlesChanged;
            if (changed) {
                clearCachedFolders();
                m_library.mutate([&](std::vector<LibraryItemPtr>& library) {
                    applyChanges(changes, library);
                    sortByName(library);
                });
            }
        }
        if (changed) {
            std::lock_guard lock(m_mutex);
            wasInitialLoad = std::exchange(m_initialLoad, false);
            m_externalSubtitles = std::move(subtitles);
        }
    }

    if (!changed) {
        for (const auto& item : m_library.value()) {
            if (auto folder = std::dynamic_pointer_cast<Folder>(item)) {
                scheduleOnProcessQueue([folder](VideoManager& manager) { manager.refreshFolder(folder); });
            }
        }
        return;
    }
    if (auto delegate = this->delegate()) {
        if (wasInitialLoad) {
            delegate->initialLoadDidFinish();
        } else {
            delegate->libraryDidChange();
        }
    }
    scheduleOnProcessQueue([](VideoManager& manager) { manager.loadMetadata(); });
}

void VideoManager::refreshFolder(const FolderPtr& folder) {
    if (!contents(folder)) return;
    if (auto delegate = this->delegate()) delegate->foldersDidChange({folder});
}

FolderPtr VideoManager::contents(const FolderPtr& folder) {
    const foundation::URL url = folder->url();
    auto listing = m_documentsClient->contents(url, false);
    sortByName(listing);
    {
        std::lock_guard lock(m_mutex);
        auto cached = m_cachedFolders.find(url);
        if (cached != m_cachedFolders.end() && equalInOrder(cached->second, listing)) return nullptr;
        m_cachedFolders[url] = listing;
    }

    auto videosIn = [](const std::vector<LibraryItemPtr>& items) {
        std::vector<LibraryItemPtr> videos;
        std::copy_if(items.begin(), items.end(), std::back_inserter(videos),
                     [](const LibraryItemPtr& item) { return item->type() == LibraryItemType::file; });
        return videos;
    };
    auto videos = videosIn(listing);
    // A folder with few videos of its own shows those of its sub-folders too.
    if (videos.size() < 4) {
        videos = videosIn(m_documentsClient->allItems(url));
        sortByName(videos);
    }
    folder->setContents(videos.empty() ? std::move(listing) : std::move(videos));
    return folder;
}

void VideoManager::attachSubtitles(const VideoPtr& video) const {
    // The list follows the folder: a subtitle file that went away leaves the video too.
    auto subtitles = externalSubtitles(*video);
    video->setExternalSubtitles(subtitles.empty() ? std::nullopt : std::optional(std::move(subtitles)));
}

std::vector<SubtitlePtr> VideoManager::externalSubtitles(const Video& video) const {
    const std::string name = video.displayName();
    std::vector<SubtitlePtr> matching;
    for (const auto& subtitle : externalSubtitles()) {
        if (subtitle->displayName().find(name) != std::string::npos) matching.push_back(subtitle);
    }
    return matching;
}

}  // namespace reelhaven
