#include "library/library_cell_provider.h"

#include <algorithm>
#include <cstdio>

#include "core/progress_client.h"
#include "core/video_manager.h"
#include "library/folder_collection_view_cell.h"
#include "library/library_cell_nibs.h"
#include "library/video_collection_view_cell.h"
#include "platform/dispatch/queue.h"
#include "platform/foundation/byte_count_formatter.h"
#include "platform/ui/controllers/nib.h"
#include "platform/ui/text/attributed_string.h"

namespace reelhaven {
namespace {

// The file style of the system's byte-count text (decimal units).
std::string fileSizeText(std::uint64_t bytes) {
    return foundation::ByteCountFormatter::string(static_cast<std::int64_t>(bytes),
                                                  foundation::ByteCountFormatter::CountStyle::file);
}

std::string timeText(double seconds) { return VideoTime::timeString(seconds).value_or(""); }

void setShown(const std::shared_ptr<ui::View>& view, bool shown) {
    if (view) view->setHidden(!shown);
}

}  // namespace

LibraryCellProvider::LibraryCellProvider(std::shared_ptr<VideoManager> videoManager,
                                         std::shared_ptr<ProgressClient> progressClient, ReloadItems reloadItems)
    : m_videoManager(std::move(videoManager)),
      m_progressClient(std::move(progressClient)),
      m_reloadItems(std::move(reloadItems)) {}

void LibraryCellProvider::registerCells(ui::CollectionView& view) {
    registerLibraryCellNibs();
    view.registerNib(ui::Nib::named(VideoCollectionViewCell::nibName), videoIdentifier);
    view.registerNib(ui::Nib::named(FolderCollectionViewCell::nibName), folderIdentifier);
}

std::shared_ptr<ui::CollectionViewCell> LibraryCellProvider::makeCell(ui::CollectionView& view,
                                                                      const ui::IndexPath& indexPath,
                                                                      const LibraryItemPtr& item, bool appeared) {
    switch (item->type()) {
        case LibraryItemType::file: {
            auto cell = view.dequeueCell(videoIdentifier, indexPath);
            auto videoCell = std::dynamic_pointer_cast<VideoCollectionViewCell>(cell);
            auto video = std::dynamic_pointer_cast<Video>(item);
            if (videoCell && video) configure(*videoCell, video, appeared);
            return cell;
        }
        case LibraryItemType::folder: {
            auto cell = view.dequeueCell(folderIdentifier, indexPath);
            auto folderCell = std::dynamic_pointer_cast<FolderCollectionViewCell>(cell);
            auto folder = std::dynamic_pointer_cast<Folder>(item);
            if (folderCell && folder) configure(*folderCell, folder, appeared);
            return cell;
        }
        case LibraryItemType::subtitle: break;
    }
    return ui::CollectionViewCell::create();
}

void LibraryCellProvider::configure(VideoCollectionViewCell& cell, const VideoPtr& video, bool appeared) {
    if (auto title = cell.titleLabel()) {
        title->setText(video->displayName());
        if (appeared) title->setLabelize(false);
    }
    setShown(cell.selectedCheckmark(), cell.isSelected());

    if (auto imageView = cell.imageView()) {
        if (auto image = video->image()) {
            imageView->setImage(ui::Image::create(std::move(image)));
        } else {
            imageView->setImage(nullptr);
            askThumbnail(video);
        }
    }

    const auto size = video->size();
    if (auto label = cell.sizeLabel()) {
        label->setHidden(!size);
        if (size) label->setText(fileSizeText(*size));
    }
    const auto subtitles = video->externalSubtitles();
    setShown(cell.externalSubtitleIcon(), subtitles && !subtitles->empty());

    if (const auto duration = video->duration()) {
        if (auto label = cell.timestampLabel()) {
            label->setHidden(false);
            label->setText(timeText(duration->seconds));
        }
        configureProgress(cell, *video, duration->seconds);
    } else {
        setShown(cell.timestampLabel(), false);
        hideProgress(cell);
        askDuration(video);
    }
}

void LibraryCellProvider::configureProgress(VideoCollectionViewCell& cell, const Video& video, double duration) {
    const auto record = m_progressClient ? m_progressClient->progress(video) : std::nullopt;
    // A record made for another version of the file says nothing about this one.
    if (!record || record->duration.seconds != duration) {
        hideProgress(cell);
        return;
    }
    setShown(cell.finishedIcon(), record->isFinished);
    const double progress = record->progress.seconds;
    const bool showProgress = !(progress < minimumShownProgress || record->isFinished);
    setShown(cell.progressView(), showProgress);
    setShown(cell.timeRemainingLabel(), showProgress);
    setShown(cell.timeRemainingShadowView(), showProgress);
    if (!showProgress) return;
    if (auto label = cell.timeRemainingLabel())
        label->setAttributedText(ui::AttributedString::create(timeText(std::max(duration - progress, 0.0)) + " Left "));
    if (auto bar = cell.progressView()) bar->setProgress(static_cast<float>(progress / duration));
}

void LibraryCellProvider::hideProgress(VideoCollectionViewCell& cell) {
    for (const auto& view :
         {std::shared_ptr<ui::View>(cell.timeRemainingLabel()), cell.timeRemainingShadowView(),
          std::shared_ptr<ui::View>(cell.finishedIcon()), std::shared_ptr<ui::View>(cell.progressView())})
        setShown(view, false);
}

void LibraryCellProvider::configure(FolderCollectionViewCell& cell, const FolderPtr& folder, bool appeared) {
    if (auto title = cell.titleLabel()) {
        title->setText(folder->displayName());
        if (appeared) title->setLabelize(false);
    }
    setShown(cell.selectedCheckmark(), cell.isSelected());

    const auto contents = folder->contents();
    const int count = static_cast<int>(contents.size());
    for (int index = 0; index < FolderCollectionViewCell::thumbCount; ++index)
        setShown(cell.thumb(index), index < count);
    if (auto label = cell.contentsLabel()) {
        label->setHidden(count < 1);
        // One item reads "1 items" too.
        if (count >= 1) label->setText(std::to_string(count) + " items");
    }
    for (int index = 0; index < std::min(count, FolderCollectionViewCell::thumbCount); ++index) {
        auto thumb = cell.thumb(index);
        const auto& item = contents[static_cast<std::size_t>(index)];
        if (!thumb) continue;
        if (auto video = std::dynamic_pointer_cast<Video>(item)) {
            thumb->setBackgroundColor(ui::Color::black());
            askPreview(cell, index, video);
        } else if (std::dynamic_pointer_cast<Folder>(item)) {
            cell.setPreviewItem(index, std::nullopt);
            thumb->setImage(nullptr);
            thumb->setBackgroundColor(ui::Color::systemGray4());
        }
    }
}

void LibraryCellProvider::askThumbnail(const VideoPtr& video) {
    if (!m_videoManager) return;
    m_videoManager->thumbnail(video,
                              [reload = m_reloadItems](const VideoPtr& answered, std::shared_ptr<gfx::Image> image,
                                                       VideoManager::ThumbnailSource) {
                                  if (!image) return;
                                  answered->setImage(image);
                                  // The image travels with the reload, so the video (which keeps it only weakly) still
                                  // has it when its cell is configured again.
                                  dispatch::Queue::main()->async([reload, answered, image] { reload({answered}); });
                              });
}

void LibraryCellProvider::askDuration(const VideoPtr& video) {
    if (!m_videoManager) return;
    m_videoManager->duration(video, [reload = m_reloadItems](const VideoPtr& answered, std::optional<double> seconds) {
        if (!seconds) return;
        answered->setDuration(VideoTime{*seconds});
        dispatch::Queue::main()->async([reload, answered] { reload({answered}); });
    });
}

void LibraryCellProvider::askPreview(FolderCollectionViewCell& cell, int position, const VideoPtr& video) {
    // A reused cell must not keep another folder's picture while its own is on the way.
    if (auto thumb = cell.thumb(position)) thumb->setImage(nullptr);
    cell.setPreviewItem(position, video->id());
    if (!m_videoManager) return;
    std::weak_ptr<FolderCollectionViewCell> weakCell = cell.sharedAs<FolderCollectionViewCell>();
    m_videoManager->thumbnail(video, [weakCell, position](const VideoPtr& answered, std::shared_ptr<gfx::Image> image,
                                                          VideoManager::ThumbnailSource) {
        if (!image) return;
        dispatch::Queue::main()->async([weakCell, position, id = answered->id(), image] {
            auto cell = weakCell.lock();
            if (!cell || cell->previewItem(position) != id) return;
            if (auto thumb = cell->thumb(position)) thumb->setImage(ui::Image::create(image));
        });
    });
}

}  // namespace reelhaven
