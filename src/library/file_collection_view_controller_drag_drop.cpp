#include "core/drag_origin.h"
#include "core/video_manager.h"
#include "library/file_collection_view_controller.h"
#include "library/folder_collection_view_cell.h"
#include "library/video_collection_view_cell.h"

namespace reelhaven {
namespace {

const DragOrigin* originOf(const ui::DragItem& item) { return std::any_cast<DragOrigin>(&item.localObject); }

}  // namespace

std::vector<ui::DragItem> FileCollectionViewController::itemsForBeginning(ui::CollectionView&, ui::DragSession&,
                                                                          const ui::IndexPath& indexPath) {
    auto item = gridItem(indexPath);
    if (!item) return {};
    return {ui::DragItem{DragOrigin{m_videoManager, item}, {}}};
}

std::optional<ui::PreviewParameters> FileCollectionViewController::dragPreviewParameters(
    ui::CollectionView& view, const ui::IndexPath& indexPath) {
    auto cell = view.cellAt(indexPath);
    std::shared_ptr<ui::View> plate;
    if (auto video = std::dynamic_pointer_cast<VideoCollectionViewCell>(cell)) plate = video->thumbnailView();
    if (auto folder = std::dynamic_pointer_cast<FolderCollectionViewCell>(cell))
        plate = folder->thumbnailContainerView();
    ui::PreviewParameters parameters;
    parameters.backgroundColor = ui::Color::clear();
    // Only the rounded plate is lifted, not the title under it.
    parameters.visiblePath = plate ? ui::BezierPath::roundedRect(plate->frame(), 15) : ui::BezierPath::rect(ui::Rect());
    return parameters;
}

ui::DropProposal FileCollectionViewController::dropSessionDidUpdate(ui::CollectionView&, ui::DragSession& session,
                                                                    const std::optional<ui::IndexPath>& destination) {
    bool isLocalDrag = true;
    for (const auto& dragged : session.items()) {
        const auto* origin = originOf(dragged);
        isLocalDrag = origin && origin->originVideoManager.lock() == m_videoManager;
    }
    const auto target = destination ? gridItem(*destination) : nullptr;
    // Search results show folders one level down, which this manager cannot move into: a
    // folder counts only when it is in the manager's own list.
    if (target && target->type() == LibraryItemType::folder) {
        if (libraryIndex(*target))
            return {ui::DropProposal::Operation::move, ui::DropProposal::Intent::insertIntoDestinationIndexPath};
        return {ui::DropProposal::Operation::cancel, ui::DropProposal::Intent::unspecified};
    }
    if (isLocalDrag) return {ui::DropProposal::Operation::cancel, ui::DropProposal::Intent::unspecified};
    return {ui::DropProposal::Operation::move, ui::DropProposal::Intent::unspecified};
}

void FileCollectionViewController::performDrop(ui::CollectionView&, const ui::DropCoordinator& coordinator) {
    std::vector<DragOrigin> origins;
    if (coordinator.session)
        for (const auto& dragged : coordinator.session->items())
            if (const auto* origin = originOf(dragged)) origins.push_back(*origin);
    std::optional<int> target;
    if (coordinator.proposal.intent == ui::DropProposal::Intent::insertIntoDestinationIndexPath &&
        coordinator.destinationIndexPath) {
        auto folder = gridItem(*coordinator.destinationIndexPath);
        // The folder is found by identity, not by row: a search result's row is no index into the
        // manager's list, so the row would move the items into an unrelated folder. One that is
        // gone (or only in search results) takes nothing.
        target = folder ? libraryIndex(*folder) : std::nullopt;
        if (!target) return;
    }
    m_videoManager->move(origins, target);
}

}  // namespace reelhaven
