// The file operations of VideoManager: what the library screens do to a folder on disk, kept in
// step with the manager's list.

#include <cerrno>

#include <algorithm>
#include <functional>
#include <set>
#include <string_view>
#include <unordered_set>

#include "core/documents_client.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/foundation/allocated_size.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/string_compare.h"

namespace reelhaven {

namespace {

foundation::FileManager& files() { return foundation::FileManager::defaultManager(); }

// The distinct positions, largest first, or nothing when one is outside a list of `count` items.
std::optional<std::vector<int>> validPositions(const std::vector<int>& positions, std::size_t count) {
    std::set<int, std::greater<>> distinct(positions.begin(), positions.end());
    for (int position : distinct)
        if (position < 0 || static_cast<std::size_t>(position) >= count) return std::nullopt;
    return std::vector<int>(distinct.begin(), distinct.end());
}

foundation::URL destinationFor(const LibraryItemPtr& item, const foundation::URL& folder) {
    return folder.appendingPathComponent(item->url().lastPathComponent());
}

// The subtitle files shown with a video: its own list once the metadata pass has filled it,
// else those of the folder's that match it.
std::vector<SubtitlePtr> shownSubtitles(const Video& video, const VideoManager& manager) {
    if (auto subtitles = video.externalSubtitles()) return *subtitles;
    return manager.externalSubtitles(video);
}

void removeItem(std::vector<LibraryItemPtr>& library, const LibraryItemPtr& item) {
    auto found = std::find(library.begin(), library.end(), item);
    if (found != library.end()) library.erase(found);
}

}  // namespace

bool VideoManager::isDocumentsManager() const {
    return !m_url || m_url->standardized().path() == m_documentsClient->documentsURL().standardized().path();
}

// A subtitle file shown with several videos of its folder (its name contains each of theirs)
// belongs to the one whose name is longest, the most specific: Film.en.srt to Film.en.mkv rather
// than Film.mkv, while Film_en.srt and "Film - English.srt" stay Film.mkv's. Shown with two
// videos of names equally long, it belongs to neither. Only a file beside the video counts: a
// dragged video whose screen is gone is matched against this folder's subtitles.
std::vector<SubtitlePtr> VideoManager::ownedSubtitles(const VideoPtr& video,
                                                      const std::vector<LibraryItemPtr>& others) const {
    const std::string name = video->displayName();
    const std::string videoPath = video->url().path();
    const std::string videoFolder = video->url().deletingLastPathComponent().path();
    std::vector<SubtitlePtr> owned;
    for (const auto& subtitle : shownSubtitles(*video, *this)) {
        const std::string subtitleName = subtitle->displayName();
        if (subtitleName.find(name) == std::string::npos) continue;
        if (subtitle->url().deletingLastPathComponent().path() != videoFolder) continue;
        const bool rivalled = std::any_of(others.begin(), others.end(), [&](const LibraryItemPtr& item) {
            auto other = std::dynamic_pointer_cast<Video>(item);
            // By path: a dragged item may be another object for the same file.
            if (!other || other->url().path() == videoPath) return false;
            if (other->url().deletingLastPathComponent().path() != videoFolder) return false;
            const std::string otherName = other->displayName();
            return otherName.size() >= name.size() && subtitleName.find(otherName) != std::string::npos;
        });
        if (!rivalled) owned.push_back(subtitle);
    }
    return owned;
}

void VideoManager::forgetSubtitles(const std::vector<SubtitlePtr>& subtitles) {
    std::lock_guard lock(m_mutex);
    for (const auto& subtitle : subtitles) {
        const std::string name = subtitle->displayName();
        std::erase_if(m_externalSubtitles, [&](const SubtitlePtr& kept) { return kept->displayName() == name; });
    }
}

std::unordered_set<std::string> VideoManager::progressKeysInLibrary() const {
    const foundation::URL documents = m_documentsClient->documentsURL();
    const std::string inbox = documents.appendingPathComponent(DocumentsClient::kInboxName).path() + "/";
    foundation::EnumerationOptions options;
    options.hiddenFiles = foundation::HiddenFiles::skip;
    auto entries =
        files().enumerate(documents, options, [](const foundation::URL&, const foundation::Error&) { return true; });
    std::unordered_set<std::string> keys;
    if (!entries) return keys;
    for (const auto& entry : *entries) {
        if (entry.path().starts_with(inbox)) continue;  // never listed, so not in the library
        if (!DocumentsClient::isVideoExtension(foundation::StringCompare::lowercased(entry.pathExtension()))) continue;
        if (files().typeOfItem(entry).valueOr(foundation::FileType::other) == foundation::FileType::directory) continue;
        keys.insert(ProgressClient::progressKey(entry));
    }
    return keys;
}

// Drops the thumbnail files and progress records of deleted videos, then writes the store once.
void VideoManager::forgetVideos(const std::vector<VideoPtr>& videos) {
    if (videos.empty()) return;
    std::vector<VideoPtr> recorded;
    for (const auto& video : videos) {
        m_documentsClient->removeCachedItem(video->id().uuidString());
        if (m_progressClient->progress(*video)) recorded.push_back(video);
    }
    // A record is keyed by the file name alone, so videos of one name in several folders share
    // it: it goes only with the last of them. Only a deletion that has records to drop walks the
    // library for the others.
    if (!recorded.empty()) {
        const auto keysInUse = progressKeysInLibrary();
        for (const auto& video : recorded) {
            if (!keysInUse.contains(ProgressClient::progressKey(video->url()))) m_progressClient->remove(*video);
        }
    }
    m_progressClient->save();
}

void VideoManager::insertSorted(const LibraryItemPtr& item) {
    m_library.mutate([&](std::vector<LibraryItemPtr>& library) {
        // A listing merged since the item was made may have brought it in already.
        if (std::any_of(library.begin(), library.end(),
                        [&](const LibraryItemPtr& listed) { return *listed == *item && listed->url() == item->url(); }))
            return;
        library.insert(library.begin() + static_cast<std::ptrdiff_t>(insertionIndex(item, library)), item);
    });
}

void VideoManager::clearCache() {
    scheduleOnProcessQueue([](VideoManager& manager) {
        manager.m_documentsClient->clearCaches();
        manager.m_library.setValue({});
        manager.clearCachedFolders();
        manager.m_thumbnailCache->removeAllObjects();
        manager.update(manager.m_documentsClient->contents(manager.folderURL(), false));
    });
}

bool VideoManager::move(const std::vector<int>& positions, const foundation::URL& destination) {
    const auto library = m_library.value();
    const auto valid = validPositions(positions, library.size());
    if (!valid) return false;

    for (int position : *valid) {
        const LibraryItemPtr& item = library[static_cast<std::size_t>(position)];
        // The item first: its subtitles follow only an item that really moved.
        if (!files().moveItem(item->url(), destinationFor(item, destination))) return false;
        if (auto video = std::dynamic_pointer_cast<Video>(item)) {
            auto subtitles = ownedSubtitles(video, m_library.value());
            for (const auto& subtitle : subtitles)
                (void)files().moveItem(subtitle->url(), destinationFor(subtitle, destination));
            forgetSubtitles(subtitles);
        }
        // Removed by identity: the list may have changed since it was read.
        m_library.mutate([&](std::vector<LibraryItemPtr>& current) { removeItem(current, item); });
        tellLibraryDidChange();
        clearCachedFolders();
    }
    return true;
}

bool VideoManager::rename(int position, const std::string& name) {
    if (!DocumentsClient::isSafeItemName(name)) return false;
    const auto library = m_library.value();
    if (position < 0 || static_cast<std::size_t>(position) >= library.size()) return false;
    const LibraryItemPtr& item = library[static_cast<std::size_t>(position)];

    bool renamed = false;
    if (item->type() == LibraryItemType::file) {
        renamed = m_documentsClient->renameKeepingExtension(item->url(), name);
        // Matched again at once: when the name stays (the same name, or a failed rename) the
        // listing that follows finds no change and runs no pass that would match them.
        if (auto video = std::dynamic_pointer_cast<Video>(item)) attachSubtitles(video);
    } else {
        renamed = m_documentsClient->rename(item->url(), name);
    }
    if (!renamed) return false;

    scheduleOnProcessQueue([](VideoManager& manager) {
        manager.update(manager.m_documentsClient->contents(manager.folderURL(), false));
        manager.tellLibraryDidChange();
    });
    return true;
}

bool VideoManager::createFolder(const std::string& name) {
    if (!DocumentsClient::isSafeItemName(name)) return false;
    const foundation::URL url = folderURL().appendingPathComponent(name, foundation::PathKind::directory);
    if (!m_documentsClient->createFolder(url)) return false;

    scheduleOnProcessQueue([url](VideoManager& manager) {
        manager.insertSorted(Folder::create(url, LibraryItemType::folder, false));
        manager.tellLibraryDidChange();
    });
    return true;
}

bool VideoManager::deleteItems(const std::vector<int>& positions) {
    // Every position is checked and the items leave the list in one step, or nothing happens.
    const auto removed = m_library.mutate([&](std::vector<LibraryItemPtr>& library) {
        std::vector<LibraryItemPtr> taken;
        const auto valid = validPositions(positions, library.size());
        if (!valid) return std::optional<std::vector<LibraryItemPtr>>();
        for (int position : *valid) {
            taken.push_back(library[static_cast<std::size_t>(position)]);
            library.erase(library.begin() + position);
        }
        return std::optional(std::move(taken));
    });
    if (!removed) return false;

    const auto remaining = m_library.value();
    // The records of what went are dropped once at the end, whatever the outcome: which names
    // are still in use is known only when every file that goes has gone.
    std::vector<VideoPtr> gone;
    for (std::size_t i = 0; i < removed->size(); ++i) {
        const LibraryItemPtr& item = (*removed)[i];
        // What a folder held is found before it goes, so its videos' records can follow it.
        std::vector<VideoPtr> videos;
        if (item->type() == LibraryItemType::folder) {
            for (const auto& inside : m_documentsClient->allItems(item->url()))
                if (auto video = std::dynamic_pointer_cast<Video>(inside)) videos.push_back(std::move(video));
        }

        // An item already gone from disk is deleted as asked: its records go with it, and it
        // must not come back into the list as an entry without a file.
        if (auto status = files().removeItem(item->url()); !status && !status.error().isPOSIX(ENOENT)) {
            // This item and the ones not reached are still on disk, so they stay in the list.
            for (std::size_t j = i; j < removed->size(); ++j) insertSorted((*removed)[j]);
            forgetVideos(gone);
            return false;
        }

        if (auto video = std::dynamic_pointer_cast<Video>(item)) {
            auto subtitles = ownedSubtitles(video, remaining);
            for (const auto& subtitle : subtitles) (void)files().removeItem(subtitle->url());
            forgetSubtitles(subtitles);
            videos.push_back(video);
        }
        gone.insert(gone.end(), videos.begin(), videos.end());
        clearCachedFolders();
    }
    forgetVideos(gone);
    return true;
}

void VideoManager::move(const std::vector<DragOrigin>& origins, std::optional<int> destination) {
    foundation::URL folder = folderURL();
    if (destination) {
        const auto library = m_library.value();
        // A drop the list no longer has a place for lands in this folder, like a drop on no cell.
        if (*destination >= 0 && static_cast<std::size_t>(*destination) < library.size()) {
            if (auto target = std::dynamic_pointer_cast<Folder>(library[static_cast<std::size_t>(*destination)]))
                folder = target->url();
        }
    }

    std::vector<std::shared_ptr<VideoManager>> originManagers;
    for (const auto& origin : origins) {
        if (!origin.originItem) continue;
        auto originManager = origin.originVideoManager.lock();
        if (!files().moveItem(origin.originItem->url(), destinationFor(origin.originItem, folder))) continue;
        if (auto video = std::dynamic_pointer_cast<Video>(origin.originItem)) {
            VideoManager& home = originManager ? *originManager : *this;
            auto subtitles = home.ownedSubtitles(video, home.library());
            for (const auto& subtitle : subtitles)
                (void)files().moveItem(subtitle->url(), destinationFor(subtitle, folder));
            home.forgetSubtitles(subtitles);
        }
        if (originManager && originManager.get() != this &&
            std::find(originManagers.begin(), originManagers.end(), originManager) == originManagers.end())
            originManagers.push_back(originManager);
    }

    update(m_documentsClient->contents(folderURL(), false));
    for (const auto& manager : originManagers) manager->reload();
}

void VideoManager::importDocuments(const std::vector<foundation::URL>& urls) {
    scheduleOnProcessQueue([urls](VideoManager& manager) {
        const foundation::URL documents =
            manager.m_documentsClient->directoryURL(foundation::SearchPathDirectory::documents);
        const bool listsDocuments = manager.isDocumentsManager();
        for (const auto& url : urls) {
            // Without a Documents folder there is nowhere to import to.
            if (documents.isEmpty()) break;
            const foundation::URL destination = documents.appendingPathComponent(url.lastPathComponent());
            const bool moved = destination == url || files().moveItem(url, destination).ok();
            // A skipped copy would stay in tmp/Inbox for good (the whole video, each try), and a
            // moved one leaves its empty folder there.
            manager.m_documentsClient->removePickedCopy(url);
            if (!moved) continue;
            if (!listsDocuments ||
                !DocumentsClient::isVideoExtension(foundation::StringCompare::lowercased(destination.pathExtension())))
                continue;

            // The attributes a listing gives the file go on before its size is read: on ext4 a
            // second attribute takes a block of its own, so a size read first would change at the
            // next listing (614 KB here, 618 KB for its twin already listed).
            manager.m_documentsClient->markForBackup(destination);
            auto video = Video::create(destination, LibraryItemType::file, false);
            const auto current = manager.m_library.value();
            if (std::any_of(current.begin(), current.end(),
                            [&](const LibraryItemPtr& item) { return *item == *video; }))
                continue;  // already listed: it was in place
            if (auto subtitles = manager.externalSubtitles(*video); !subtitles.empty())
                video->setExternalSubtitles(std::move(subtitles));
            manager.thumbnail(video, [](const VideoPtr& answered, std::shared_ptr<gfx::Image> image, ThumbnailSource) {
                if (image) answered->setImage(image);
            });
            manager.duration(video, [](const VideoPtr& answered, std::optional<double> seconds) {
                if (seconds) answered->setDuration(VideoTime{*seconds});
            });
            video->setSize(foundation::allocatedFileSize(destination).valueOr(0));
            manager.insertSorted(video);
        }
        manager.tellLibraryDidChange();
    });
}

VideoPtr VideoManager::nextVideo(const Video& video) {
    const auto library = m_library.value();
    std::vector<LibraryItemPtr> files;
    std::copy_if(library.begin(), library.end(), std::back_inserter(files),
                 [](const LibraryItemPtr& item) { return item->type() == LibraryItemType::file; });
    const std::string path = video.url().path();
    auto found = std::find_if(files.begin(), files.end(),
                              [&](const LibraryItemPtr& item) { return item->url().path() == path; });
    if (found == files.end() || std::next(found) == files.end()) return nullptr;
    auto next = std::dynamic_pointer_cast<Video>(*std::next(found));
    if (next) insertPlayedVideo(next);
    return next;
}

}  // namespace reelhaven
