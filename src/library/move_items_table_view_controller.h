#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/folder.h"
#include "core/library_item.h"
#include "core/video_manager.h"
#include "library/move_items_table_view_controller_delegate.h"
#include "platform/ui/controllers/table_view_controller.h"
#include "platform/ui/controls/bar_button_item.h"

namespace reelhaven {

// The sheet in which the user picks the folder that the selected items move into: the
// sub-folders of the current folder and, below the library root, the folder above ("Library"
// for the Documents folder) and the current folder itself, which cannot be chosen; neither can
// a folder that is itself being moved. "Confirm" hands the choice to the delegate, which
// dismisses the sheet; "Cancel" dismisses it. The rows are read from the manager once, when the
// view loads. Main thread only.
class MoveItemsTableViewController : public ui::TableViewController {
public:
    static constexpr const char* cellIdentifier = "directoryCell";

    static std::shared_ptr<MoveItemsTableViewController> create();
    std::string className() const override { return "MoveItemsTableViewController"; }

    // Set before the view loads.
    std::shared_ptr<VideoManager> videoManager() const { return m_videoManager; }
    void setVideoManager(std::shared_ptr<VideoManager> manager);
    const std::optional<std::vector<LibraryItemPtr>>& itemsToMove() const { return m_itemsToMove; }
    void setItemsToMove(std::optional<std::vector<LibraryItemPtr>> items);
    std::shared_ptr<MoveItemsTableViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<MoveItemsTableViewControllerDelegate>& delegate);

    // Fixed once the view has loaded.
    const std::vector<FolderPtr>& folders() const { return m_folders; }
    bool hasParentFolder() const { return m_hasParentFolder; }
    // Rows of `folders` that are among the items to move.
    const std::optional<std::vector<int>>& overlapIndices() const { return m_overlapIndices; }
    std::optional<int> selectedItem() const { return m_selectedItem; }
    std::shared_ptr<ui::BarButtonItem> confirmButton() const { return m_confirmButton; }

    void viewDidLoad() override;
    // "Confirm": hands the items and the chosen folder to the delegate.
    void confirmMove();
    // "Cancel".
    void dismissModal();
    // Return (or Enter) confirms once "Confirm" is enabled, as a tap on it would. Escape cancels
    // through the window, as it leaves any sheet.
    void pressesBegan(const std::vector<ui::Press>& presses) override;

    int numberOfRows(ui::TableView& table, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    bool shouldHighlightRow(ui::TableView& table, const ui::IndexPath& indexPath) override;
    void didSelectRow(ui::TableView& table, const ui::IndexPath& indexPath) override;

protected:
    MoveItemsTableViewController() : ui::TableViewController(ui::TableViewStyle::plain) {}

private:
    void loadFolders();
    void configureLook();
    void styleNavigationBar();
    bool isOverlap(int row) const;
    // The row's text: the folder's name, "Library" for a parent row that is the Documents folder.
    std::string rowTitle(int row) const;
    void styleCell(ui::TableViewCell& cell, int row) const;

    std::shared_ptr<VideoManager> m_videoManager;
    std::optional<std::vector<LibraryItemPtr>> m_itemsToMove;
    std::optional<std::vector<int>> m_overlapIndices;
    std::weak_ptr<MoveItemsTableViewControllerDelegate> m_delegate;
    std::vector<FolderPtr> m_folders;
    bool m_hasParentFolder = false;
    std::optional<int> m_selectedItem;
    std::shared_ptr<ui::BarButtonItem> m_confirmButton;
};

}  // namespace reelhaven
