#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/folder.h"
#include "core/library_item.h"
#include "core/video.h"
#include "platform/ui/lists/collection_view.h"

namespace reelhaven {

class FolderCollectionViewCell;
class ProgressClient;
class VideoCollectionViewCell;
class VideoManager;

// Tells each grid cell what to show for its item: a video's title, thumbnail, size, subtitle
// badge, duration and watched state from its progress record; a folder's title, count and up to
// four previews. A missing thumbnail or duration is asked of the manager once; the answer is
// kept in the video and only that item is reloaded. Main thread.
class LibraryCellProvider {
public:
    static constexpr const char* videoIdentifier = "video";
    static constexpr const char* folderIdentifier = "folder";
    // Progress below this many seconds shows no bar and no remaining time.
    static constexpr double minimumShownProgress = 5.0;

    // Reloads the cells of items once an answer is kept; it must not keep the screen alive.
    using ReloadItems = std::function<void(std::vector<LibraryItemPtr>)>;

    LibraryCellProvider(std::shared_ptr<VideoManager> videoManager, std::shared_ptr<ProgressClient> progressClient,
                        ReloadItems reloadItems);

    // Registers the two cell nibs with the view.
    static void registerCells(ui::CollectionView& view);

    // `appeared`: the screen has appeared, so titles may scroll.
    std::shared_ptr<ui::CollectionViewCell> makeCell(ui::CollectionView& view, const ui::IndexPath& indexPath,
                                                     const LibraryItemPtr& item, bool appeared);

    void configure(VideoCollectionViewCell& cell, const VideoPtr& video, bool appeared);
    void configure(FolderCollectionViewCell& cell, const FolderPtr& folder, bool appeared);

private:
    void configureProgress(VideoCollectionViewCell& cell, const Video& video, double duration);
    void hideProgress(VideoCollectionViewCell& cell);
    void askThumbnail(const VideoPtr& video);
    void askDuration(const VideoPtr& video);
    void askPreview(FolderCollectionViewCell& cell, int position, const VideoPtr& video);

    std::shared_ptr<VideoManager> m_videoManager;
    std::shared_ptr<ProgressClient> m_progressClient;
    ReloadItems m_reloadItems;
};

}  // namespace reelhaven
