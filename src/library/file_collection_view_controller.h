#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/folder.h"
#include "core/library_item.h"
#include "core/video.h"
#include "core/video_manager_delegate.h"
#include "library/library_cell_provider.h"
#include "library/move_items_table_view_controller_delegate.h"
#include "platform/dispatch/queue.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_diffable_data_source.h"
#include "transfer/web_uploader_delegate.h"

namespace reelhaven {

class MediaCenterService;
class ProgressClient;
class VideoManager;
class WebUploader;

// One folder of the library as a grid: videos with their thumbnail, duration and progress,
// folders with previews of their contents. Tapping a folder pushes a screen for it, tapping a
// video presents the player. Its modes (normal, edit, select, search) decide what a tap and the
// bar do. The root of the library is the subclass LibraryFileCollectionViewController.
//
// Items are acted on by identity, never by grid row: a menu, an alert or a drop keeps the item it
// was opened for and finds the item's place in the manager's list just before it asks the
// manager, so an upload that shifts the rows meanwhile never redirects an operation to a
// neighbour; an item that has gone is skipped.
//
// Threads: main thread only. Manager callbacks and metadata answers hop to the main queue;
// deletions run on the serial "fileOperations" queue.
//
// Files: file_collection_view_controller.cpp (fields, life cycle, snapshots, opening items,
// modes and bar items), file_collection_view_controller_operations.cpp (context menu, mark
// watched, rename, new folder, delete, move, search, uploader refresh) and
// file_collection_view_controller_drag_drop.cpp (drags and drops).
class FileCollectionViewController : public ui::ViewController,
                                     public ui::CollectionViewDelegate,
                                     public ui::CollectionViewDragDelegate,
                                     public ui::CollectionViewDropDelegate,
                                     public ui::SearchBarDelegate,
                                     public VideoManagerDelegate,
                                     public MoveItemsTableViewControllerDelegate,
                                     public WebUploaderDelegate {
public:
    enum class Mode { normal, edit, select, search };
    enum class Section { main };
    using DataSource =
        ui::CollectionViewDiffableDataSource<Section, LibraryItemPtr, LibraryItemPtrHash, LibraryItemPtrEqual>;

    static std::shared_ptr<FileCollectionViewController> create(FolderPtr folder,
                                                                std::shared_ptr<VideoManager> videoManager,
                                                                std::shared_ptr<ProgressClient> progressClient,
                                                                std::shared_ptr<WebUploader> webServer,
                                                                std::shared_ptr<MediaCenterService> mediaCenterService);
    ~FileCollectionViewController() override;
    std::string className() const override { return "FileCollectionViewController"; }

    const FolderPtr& folder() const { return m_folder; }
    const std::shared_ptr<VideoManager>& videoManager() const { return m_videoManager; }
    const std::shared_ptr<ProgressClient>& progressClient() const { return m_progressClient; }
    const std::shared_ptr<WebUploader>& webServer() const { return m_webServer; }
    const std::shared_ptr<MediaCenterService>& mediaCenterService() const { return m_mediaCenterService; }
    std::shared_ptr<ui::CollectionView> collectionView();
    const std::shared_ptr<DataSource>& dataSource() const { return m_dataSource; }
    std::shared_ptr<ui::BarButtonItem> editButton();
    bool appeared() const { return m_appeared; }
    // The serial "fileOperations" queue the deletions run on.
    const std::shared_ptr<dispatch::Queue>& fileOperationQueue() const { return m_fileOperationQueue; }
    Mode mode() const { return m_mode; }
    void setMode(Mode mode);

    // --- Life cycle, snapshots, opening (file_collection_view_controller.cpp) ---
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    StatusBarStyle preferredStatusBarStyle() const override { return StatusBarStyle::lightContent; }

    virtual void configureBarItems();
    virtual void configureSearchBarItems();
    void configureEditBarItems();
    void applySnapshot(bool animatingDifferences);
    // Reloads the cells of those items that the grid shows; the others are left alone.
    void reloadItems(const std::vector<LibraryItemPtr>& items);
    void reloadItemsOnMain(std::vector<LibraryItemPtr> items);
    void openItem(const ui::IndexPath& indexPath);

    // Search: each folder replaced by its contents, one level deep, order kept.
    static std::vector<LibraryItemPtr> flattenOneLevel(const std::vector<LibraryItemPtr>& items);
    // Stable, by display name in the localized standard order.
    static std::vector<LibraryItemPtr> sortItems(std::vector<LibraryItemPtr> items);
    // Items whose lower-cased display name contains the lower-cased text.
    static std::vector<LibraryItemPtr> filterItems(const std::vector<LibraryItemPtr>& items, const std::string& text);

    // ui::CollectionViewDelegate
    void didSelectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) override;
    void didDeselectItem(ui::CollectionView& view, const ui::IndexPath& indexPath) override;
    void willDisplayCell(ui::CollectionView& view, ui::CollectionViewCell& cell, const ui::IndexPath& path) override;
    void didEndDisplayingCell(ui::CollectionView& view, ui::CollectionViewCell& cell,
                              const ui::IndexPath& path) override;
    std::shared_ptr<ui::ContextMenuConfiguration> contextMenuConfiguration(ui::CollectionView& view,
                                                                           const std::vector<ui::IndexPath>& items,
                                                                           ui::Point point) override;
    std::shared_ptr<ui::TargetedPreview> previewForHighlightingContextMenu(
        ui::CollectionView& view, const ui::ContextMenuConfiguration& configuration) override;
    std::shared_ptr<ui::TargetedPreview> previewForDismissingContextMenu(
        ui::CollectionView& view, const ui::ContextMenuConfiguration& configuration) override;

    // VideoManagerDelegate
    void libraryDidChange() override;
    void initialLoadDidFinish() override;
    void foldersDidChange(const std::vector<FolderPtr>& folders) override;

    // --- Operations (file_collection_view_controller_operations.cpp) ---
    void setWatched(bool watched, const LibraryItemPtr& item);
    void showRenameAlert(const LibraryItemPtr& item);
    void showNewFolderAlert();
    void deleteItem(const LibraryItemPtr& item);
    void confirmDeleteSelection();
    void showMoveSheet();
    // MoveItemsTableViewControllerDelegate: the sheet's items go into `destination`.
    void moveItems(const std::vector<LibraryItemPtr>& items, const FolderPtr& destination, bool toParent) override;
    void reloadAfterWebUpload();

    // ui::SearchBarDelegate
    void textDidBeginEditing(ui::SearchBar& bar) override;
    void textDidChange(ui::SearchBar& bar, const std::string& text) override;
    void cancelButtonClicked(ui::SearchBar& bar) override;

    // WebUploaderDelegate
    void webUploaderDidUploadFile(WebUploader& uploader, const std::string& path) override;
    void webUploaderDidMoveItem(WebUploader& uploader, const std::string& fromPath, const std::string& toPath) override;
    void webUploaderDidDeleteItem(WebUploader& uploader, const std::string& path) override;
    void webUploaderDidCreateDirectory(WebUploader& uploader, const std::string& path) override;

    // --- Drag and drop (file_collection_view_controller_drag_drop.cpp) ---
    std::vector<ui::DragItem> itemsForBeginning(ui::CollectionView& view, ui::DragSession& session,
                                                const ui::IndexPath& indexPath) override;
    std::optional<ui::PreviewParameters> dragPreviewParameters(ui::CollectionView& view,
                                                               const ui::IndexPath& indexPath) override;
    ui::DropProposal dropSessionDidUpdate(ui::CollectionView& view, ui::DragSession& session,
                                          const std::optional<ui::IndexPath>& destination) override;
    void performDrop(ui::CollectionView& view, const ui::DropCoordinator& coordinator) override;

protected:
    FileCollectionViewController(FolderPtr folder, std::shared_ptr<VideoManager> videoManager,
                                 std::shared_ptr<ProgressClient> progressClient, std::shared_ptr<WebUploader> webServer,
                                 std::shared_ptr<MediaCenterService> mediaCenterService);

    // The item's place in the manager's list now, found by identity; none once it has gone.
    std::optional<int> libraryIndex(const LibraryItem& item) const;
    // The grid's item at a row, if any.
    LibraryItemPtr gridItem(const ui::IndexPath& indexPath) const;
    std::shared_ptr<ui::CollectionViewCell> visibleCell(const LibraryItemPtr& item);
    void presentPlayer(const VideoPtr& video);
    std::string searchText() const;
    // A bar item's primary action: it holds the screen weakly and does nothing once it is gone.
    std::shared_ptr<ui::Action> weakAction(std::string title, std::function<void(FileCollectionViewController&)> body,
                                           unsigned attributes = 0);

private:
    void refreshFolder(const FolderPtr& folder);
    void deleteItems(const std::vector<LibraryItemPtr>& items, std::function<void(bool)> done);
    void finishDeleteSelection(bool success, const std::vector<LibraryItemPtr>& items);
    void setAlpha(const std::vector<LibraryItemPtr>& items, double alpha);
    std::shared_ptr<ui::Menu> makeItemMenu(const LibraryItemPtr& item);
    std::shared_ptr<ui::TargetedPreview> contextMenuPreview(const ui::ContextMenuConfiguration& configuration);
    void presentFailure(const std::string& title, const std::string& message);

    FolderPtr m_folder;
    std::shared_ptr<VideoManager> m_videoManager;
    std::shared_ptr<ProgressClient> m_progressClient;
    std::shared_ptr<WebUploader> m_webServer;
    std::shared_ptr<MediaCenterService> m_mediaCenterService;
    std::shared_ptr<ui::CollectionView> m_collectionView;
    std::shared_ptr<DataSource> m_dataSource;
    std::unique_ptr<LibraryCellProvider> m_cellProvider;
    bool m_appeared = false;
    LibraryItemPtr m_lastItemSelected;
    Mode m_mode = Mode::normal;
    std::shared_ptr<dispatch::Queue> m_fileOperationQueue;
    std::shared_ptr<ui::BarButtonItem> m_editButton;
    foundation::NotificationCenter::Token m_progressDeletedObserver;
};

}  // namespace reelhaven
