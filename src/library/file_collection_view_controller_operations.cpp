#include <charconv>

#include "core/documents_client.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "library/file_collection_view_controller.h"
#include "library/folder_collection_view_cell.h"
#include "library/move_items_table_view_controller.h"
#include "library/video_collection_view_cell.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controls/menu.h"
#include "platform/ui/text/text_field.h"
#include "toolkit/empty_data_set.h"

namespace reelhaven {
namespace {

// The context menu's delete waits this long, so the menu has closed before the cell dims.
constexpr double kMenuDeleteDelay = 0.4;

using Strong = std::shared_ptr<FileCollectionViewController>;

std::shared_ptr<ui::AlertController> textAlert(const std::string& title, const std::string& text,
                                               std::function<void(std::optional<std::string>)> confirm) {
    auto alert = ui::AlertController::create(title, std::nullopt, ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel));
    std::weak_ptr<ui::AlertController> weakAlert = alert;
    alert->addAction(ui::AlertAction::create("Confirm", ui::AlertActionStyle::defaultStyle,
                                             [weakAlert, confirm = std::move(confirm)](ui::AlertAction&) {
                                                 auto shown = weakAlert.lock();
                                                 if (!shown || shown->textFields().empty()) return;
                                                 confirm(shown->textFields().front()->text());
                                             }));
    alert->addTextField([&text](ui::TextField& field) { field.setText(text); });
    return alert;
}

}  // namespace

std::shared_ptr<ui::ContextMenuConfiguration> FileCollectionViewController::contextMenuConfiguration(
    ui::CollectionView&, const std::vector<ui::IndexPath>& items, ui::Point) {
    if (m_mode != Mode::normal || items.empty()) return nullptr;
    auto item = gridItem(items.front());
    if (!item || item->type() == LibraryItemType::subtitle) return nullptr;
    if (!std::dynamic_pointer_cast<Video>(item) && !std::dynamic_pointer_cast<Folder>(item)) return nullptr;
    return ui::ContextMenuConfiguration::create(
        std::to_string(items.front().item), {},
        [self = sharedAs<FileCollectionViewController>(), item](const auto&) { return self->makeItemMenu(item); });
}

std::shared_ptr<ui::TargetedPreview> FileCollectionViewController::contextMenuPreview(
    const ui::ContextMenuConfiguration& configuration) {
    const auto* identifier = std::any_cast<std::string>(&configuration.identifier());
    if (!identifier) return nullptr;
    int row = 0;
    const auto [end, error] = std::from_chars(identifier->data(), identifier->data() + identifier->size(), row);
    if (error != std::errc() || end != identifier->data() + identifier->size()) return nullptr;
    auto cell = collectionView()->cellAt(ui::IndexPath(0, row));
    if (auto video = std::dynamic_pointer_cast<VideoCollectionViewCell>(cell)) {
        ui::PreviewParameters parameters;
        parameters.backgroundColor = ui::Color::clear();
        return ui::TargetedPreview::create(video->thumbnailView(), parameters);
    }
    if (auto folder = std::dynamic_pointer_cast<FolderCollectionViewCell>(cell))
        return ui::TargetedPreview::create(folder->thumbnailContainerView());
    return nullptr;
}

std::shared_ptr<ui::TargetedPreview> FileCollectionViewController::previewForHighlightingContextMenu(
    ui::CollectionView&, const ui::ContextMenuConfiguration& configuration) {
    return contextMenuPreview(configuration);
}

std::shared_ptr<ui::TargetedPreview> FileCollectionViewController::previewForDismissingContextMenu(
    ui::CollectionView&, const ui::ContextMenuConfiguration& configuration) {
    return contextMenuPreview(configuration);
}

std::shared_ptr<ui::Menu> FileCollectionViewController::makeItemMenu(const LibraryItemPtr& item) {
    auto self = sharedAs<FileCollectionViewController>();
    std::vector<std::shared_ptr<ui::MenuElement>> children;
    std::string title = item->displayName();
    if (auto video = std::dynamic_pointer_cast<Video>(item)) {
        title = video->url().lastPathComponent();
        const auto record = m_progressClient->progress(*video);
        const bool finished = record && record->isFinished;
        children.push_back(ui::Action::create(
            finished ? "Mark Unwatched" : "Mark Watched", ui::Image::systemImage(finished ? "xmark" : "checkmark"), {},
            ui::Action::none, ui::Action::State::off, [self, item, finished](ui::Action&) {
                dispatch::Queue::main()->async([self, item, finished] { self->setWatched(!finished, item); });
            }));
    }
    children.push_back(ui::Action::create("Rename", ui::Image::systemImage("text.cursor"), {}, ui::Action::none,
                                          ui::Action::State::off,
                                          [self, item](ui::Action&) { self->showRenameAlert(item); }));
    auto cancel = ui::Action::create("Cancel", ui::Image::systemImage("xmark"));
    auto confirm = ui::Action::create("Delete", ui::Image::systemImage("checkmark"), {}, ui::Action::destructive,
                                      ui::Action::State::off, [self, item](ui::Action&) { self->deleteItem(item); });
    children.push_back(
        ui::Menu::create("Delete", ui::Image::systemImage("trash"), {}, ui::Menu::destructive, {cancel, confirm}));
    return ui::Menu::create(title, nullptr, {}, ui::Menu::none, children);
}

void FileCollectionViewController::setWatched(bool watched, const LibraryItemPtr& item) {
    const auto index = libraryIndex(*item);
    if (!index) return;
    auto video = std::dynamic_pointer_cast<Video>(m_videoManager->library()[static_cast<std::size_t>(*index)]);
    if (!video) return;
    const auto record = m_progressClient->progress(*video);
    VideoProgress::Choices choices;
    if (record) {
        choices.selectedAudio = record->selectedAudio;
        choices.selectedSubtitle = record->selectedSubtitle;
        choices.contentMode = record->contentMode;
        choices.aspectRatio = record->aspectRatio;
        choices.deinterlace = record->deinterlace;
        choices.volume = record->volume;
        // Marking unwatched starts the video over with the default speed and no loop.
        if (watched) {
            choices.playbackSpeed = record->playbackSpeed;
            choices.loop = record->loop;
        }
    }
    m_progressClient->update(*video, 0, watched, choices);
    dispatch::Queue::global()->async([progress = m_progressClient] { progress->save(); });
    reloadItemsOnMain({video});
}

void FileCollectionViewController::showRenameAlert(const LibraryItemPtr& item) {
    if (!libraryIndex(*item)) return;
    auto self = sharedAs<FileCollectionViewController>();
    present(textAlert("Rename", item->displayName(),
                      [self, item](std::optional<std::string> text) {
                          if (!text) return;
                          // The item is looked up again: the list may have changed while the alert was up.
                          const auto index = self->libraryIndex(*item);
                          if (!index) return;
                          if (!self->m_videoManager->rename(*index, *text))
                              self->presentFailure("Rename Failed", "There was an issue renaming this file.");
                      }),
            true);
}

void FileCollectionViewController::showNewFolderAlert() {
    auto self = sharedAs<FileCollectionViewController>();
    present(textAlert("New Folder", {},
                      [self](std::optional<std::string> text) {
                          if (!text) return;
                          if (!self->m_videoManager->createFolder(*text))
                              self->presentFailure("Creating Folder Failed", "There was an issue creating the folder.");
                      }),
            true);
}

void FileCollectionViewController::presentFailure(const std::string& title, const std::string& message) {
    auto alert = ui::AlertController::create(title, message, ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("OK", ui::AlertActionStyle::defaultStyle));
    present(alert, true);
}

void FileCollectionViewController::setAlpha(const std::vector<LibraryItemPtr>& items, double alpha) {
    for (const auto& item : items)
        if (auto cell = visibleCell(item)) cell->setAlpha(alpha);
}

void FileCollectionViewController::deleteItems(const std::vector<LibraryItemPtr>& items,
                                               std::function<void(bool)> done) {
    m_fileOperationQueue->async([self = sharedAs<FileCollectionViewController>(), items, done = std::move(done)] {
        // Positions are taken from the list as it stands now; items already gone are skipped.
        std::vector<int> positions;
        for (const auto& item : items)
            if (auto index = self->libraryIndex(*item)) positions.push_back(*index);
        const bool success = positions.empty() || self->m_videoManager->deleteItems(positions);
        dispatch::Queue::main()->async([done, success] { done(success); });
    });
}

void FileCollectionViewController::deleteItem(const LibraryItemPtr& item) {
    auto self = sharedAs<FileCollectionViewController>();
    dispatch::Queue::main()->asyncAfter(kMenuDeleteDelay, [self, item] {
        self->setAlpha({item}, 0.4);
        self->deleteItems({item}, [self, item](bool success) {
            // Undimmed first, while the item still finds its cell: the rebuilt grid may keep the cell.
            self->setAlpha({item}, 1.0);
            if (success) {
                self->applySnapshot(true);
                EmptyDataSet::reloadEmptyDataSet(*self->collectionView());
            }
        });
    });
}

void FileCollectionViewController::confirmDeleteSelection() {
    const auto paths = collectionView()->selectedIndexPaths();
    if (paths.empty()) return;
    std::vector<LibraryItemPtr> items;
    for (const auto& path : paths)
        if (auto item = gridItem(path)) items.push_back(item);
    const std::string title =
        paths.size() == 1 ? std::string("Delete 1 item") : "Delete " + std::to_string(paths.size()) + " items";
    auto alert = ui::AlertController::create(title, std::nullopt, ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("Cancel", ui::AlertActionStyle::cancel));
    alert->addAction(ui::AlertAction::create(
        "Confirm", ui::AlertActionStyle::destructive,
        [self = sharedAs<FileCollectionViewController>(), items](ui::AlertAction&) {
            self->setAlpha(items, 0.4);
            self->deleteItems(items, [self, items](bool success) { self->finishDeleteSelection(success, items); });
        }));
    present(alert, true);
}

void FileCollectionViewController::finishDeleteSelection(bool success, const std::vector<LibraryItemPtr>& items) {
    setAlpha(items, 1.0);
    applySnapshot(true);
    if (success) {
        setMode(Mode::normal);
        EmptyDataSet::reloadEmptyDataSet(*collectionView());
    }
    auto grid = collectionView();
    for (const auto& path : grid->selectedIndexPaths()) grid->deselectItem(path);
}

void FileCollectionViewController::showMoveSheet() {
    const auto paths = collectionView()->selectedIndexPaths();
    if (paths.empty()) return;
    std::vector<LibraryItemPtr> items;
    for (const auto& path : paths)
        if (auto item = gridItem(path)) items.push_back(item);
    auto sheet = MoveItemsTableViewController::create();
    sheet->setVideoManager(m_videoManager);
    sheet->setDelegate(sharedAs<FileCollectionViewController>());
    sheet->setItemsToMove(items);
    auto navigation = ui::NavigationController::create(sheet);
    navigation->setModalPresentationStyle(ui::ModalPresentationStyle::formSheet);
    present(navigation, true);
}

void FileCollectionViewController::moveItems(const std::vector<LibraryItemPtr>& items, const FolderPtr& destination,
                                             bool toParent) {
    dismiss(true);
    if (!destination) return;
    std::vector<int> positions;
    for (const auto& item : items)
        if (auto index = libraryIndex(*item)) positions.push_back(*index);
    if (!m_videoManager->move(positions, destination->url())) return;
    setMode(Mode::normal);
    if (toParent) {
        if (auto parent = m_videoManager->parent()) parent->reload();
        dispatch::Queue::main()->async([self = sharedAs<FileCollectionViewController>()] {
            self->applySnapshot(true);
            EmptyDataSet::reloadEmptyDataSet(*self->collectionView());
        });
    } else {
        m_videoManager->reload();
    }
}

void FileCollectionViewController::textDidBeginEditing(ui::SearchBar&) { setMode(Mode::search); }

void FileCollectionViewController::textDidChange(ui::SearchBar&, const std::string&) { applySnapshot(true); }

void FileCollectionViewController::cancelButtonClicked(ui::SearchBar&) {
    setMode(Mode::normal);
    applySnapshot(true);
}

void FileCollectionViewController::reloadAfterWebUpload() {
    const auto& documents = m_videoManager->documentsClient();
    const auto folder = m_videoManager->url() ? *m_videoManager->url() : documents->documentsURL();
    m_videoManager->update(documents->contents(folder, false));
}

void FileCollectionViewController::webUploaderDidUploadFile(WebUploader&, const std::string&) {
    reloadAfterWebUpload();
}
void FileCollectionViewController::webUploaderDidMoveItem(WebUploader&, const std::string&, const std::string&) {
    reloadAfterWebUpload();
}
void FileCollectionViewController::webUploaderDidDeleteItem(WebUploader&, const std::string&) {
    reloadAfterWebUpload();
}
void FileCollectionViewController::webUploaderDidCreateDirectory(WebUploader&, const std::string&) {
    reloadAfterWebUpload();
}

}  // namespace reelhaven
