#include "library/file_collection_view_controller.h"

#include <algorithm>

#include "core/progress_client.h"
#include "core/video_manager.h"
#include "library/library_collection_view_cell.h"
#include "library/library_grid_layout.h"
#include "library/player_presenter.h"
#include "platform/foundation/string_compare.h"
#include "platform/ui/controllers/navigation_bar.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/view.h"
#include "toolkit/empty_data_set.h"

namespace reelhaven {
namespace {

ui::SymbolConfiguration mediumSymbol() {
    ui::SymbolConfiguration configuration;
    configuration.weight = ui::SymbolWeight::medium;
    return configuration;
}

}  // namespace

std::shared_ptr<FileCollectionViewController> FileCollectionViewController::create(
    FolderPtr folder, std::shared_ptr<VideoManager> videoManager, std::shared_ptr<ProgressClient> progressClient,
    std::shared_ptr<WebUploader> webServer, std::shared_ptr<MediaCenterService> mediaCenterService) {
    return std::shared_ptr<FileCollectionViewController>(
        new FileCollectionViewController(std::move(folder), std::move(videoManager), std::move(progressClient),
                                         std::move(webServer), std::move(mediaCenterService)));
}

FileCollectionViewController::FileCollectionViewController(FolderPtr folder, std::shared_ptr<VideoManager> videoManager,
                                                           std::shared_ptr<ProgressClient> progressClient,
                                                           std::shared_ptr<WebUploader> webServer,
                                                           std::shared_ptr<MediaCenterService> mediaCenterService)
    : m_folder(std::move(folder)),
      m_videoManager(std::move(videoManager)),
      m_progressClient(std::move(progressClient)),
      m_webServer(std::move(webServer)),
      m_mediaCenterService(std::move(mediaCenterService)),
      m_fileOperationQueue(
          dispatch::Queue::create("fileOperations", dispatch::QueueKind::serial, dispatch::QoS::userInitiated)) {}

FileCollectionViewController::~FileCollectionViewController() {
    foundation::NotificationCenter::defaultCenter().removeObserver(m_progressDeletedObserver);
}

std::shared_ptr<ui::CollectionView> FileCollectionViewController::collectionView() {
    if (m_collectionView) return m_collectionView;
    std::weak_ptr<FileCollectionViewController> weak = sharedAs<FileCollectionViewController>();
    auto layout = ui::CompositionalLayout::create(
        [weak](int, const ui::CollectionLayoutEnvironment& environment) -> std::optional<ui::CollectionLayoutSection> {
            if (!weak.lock()) return std::nullopt;
            return libraryGridSection(environment);
        });
    m_collectionView = ui::CollectionView::create(ui::Rect(), layout);
    return m_collectionView;
}

std::shared_ptr<ui::BarButtonItem> FileCollectionViewController::editButton() {
    if (m_editButton) return m_editButton;
    m_editButton = ui::BarButtonItem::create({}, ui::Image::systemImage("rectangle.stack", mediumSymbol()));
    m_editButton->setPrimaryAction(
        weakAction({}, [](FileCollectionViewController& self) { self.setMode(Mode::edit); }));
    return m_editButton;
}

void FileCollectionViewController::viewDidLoad() {
    ui::ViewController::viewDidLoad();
    if (auto navigation = navigationController()) {
        auto bar = navigation->navigationBar();
        bar->setBarStyle(ui::BarStyle::black);
        bar->setTranslucent(true);
        bar->setTintColor(ui::Color::white());
    }
    auto search = ui::SearchController::create();
    search->searchBar()->setDelegate(sharedAs<FileCollectionViewController>());
    search->searchBar()->setPlaceholder("Search");
    search->setObscuresBackgroundDuringPresentation(false);
    search->setHidesNavigationBarDuringPresentation(false);
    navigationItem()->setHidesSearchBarWhenScrolling(true);
    navigationItem()->setSearchController(search);
    if (ui::PlatformVersion::isAtLeast(16))
        navigationItem()->setPreferredSearchBarPlacement(ui::NavigationItem::SearchBarPlacement::automatic);

    configureBarItems();

    auto grid = collectionView();
    view()->setBackgroundColor(ui::Color::systemGray6());
    grid->setBackgroundColor(ui::Color::systemGray6());
    grid->setTranslatesAutoresizingMaskIntoConstraints(false);
    view()->addSubview(grid);
    ui::LayoutConstraint::activate(
        {grid->topAnchor().constraint(view()->topAnchor()), grid->bottomAnchor().constraint(view()->bottomAnchor()),
         grid->leadingAnchor().constraint(view()->safeAreaLayoutGuide()->leadingAnchor()),
         grid->trailingAnchor().constraint(view()->safeAreaLayoutGuide()->trailingAnchor())});

    auto self = sharedAs<FileCollectionViewController>();
    grid->setDelegate(self);
    grid->setAllowsMultipleSelection(false);
    grid->setAlwaysBounceVertical(true);
    grid->setScrollsToTop(true);
    grid->setDragDelegate(self);
    grid->setDropDelegate(self);
    LibraryCellProvider::registerCells(*grid);

    std::weak_ptr<FileCollectionViewController> weak = self;
    m_cellProvider = std::make_unique<LibraryCellProvider>(m_videoManager, m_progressClient,
                                                           [weak](std::vector<LibraryItemPtr> items) {
                                                               if (auto screen = weak.lock())
                                                                   screen->reloadItems(items);
                                                           });
    m_dataSource =
        DataSource::create(grid,
                           [weak](ui::CollectionView& view, const ui::IndexPath& indexPath,
                                  const LibraryItemPtr& item) -> std::shared_ptr<ui::CollectionViewCell> {
                               auto screen = weak.lock();
                               if (!screen) return ui::CollectionViewCell::create();
                               return screen->m_cellProvider->makeCell(view, indexPath, item, screen->m_appeared);
                           });
    m_videoManager->setDelegate(self);
    applySnapshot(false);
    // Emptying the progress store ("Delete cached data") changes what every video cell shows
    // while no item of the grid changes: the shown items are drawn again from the store.
    if (m_progressClient) {
        m_progressDeletedObserver = foundation::NotificationCenter::defaultCenter().addObserver(
            ProgressClient::kDidDeleteAllNotification, m_progressClient.get(), [weak](const foundation::Notification&) {
                dispatch::Queue::main()->async([weak] {
                    auto self = weak.lock();
                    if (self && self->m_dataSource) self->reloadItems(self->m_dataSource->snapshot().itemIdentifiers());
                });
            });
    }
}

void FileCollectionViewController::viewWillAppear(bool animated) {
    ui::ViewController::viewWillAppear(animated);
    std::vector<LibraryItemPtr> played;
    for (auto& video : m_videoManager->takePlayedVideos()) played.push_back(std::move(video));
    if (auto last = std::exchange(m_lastItemSelected, nullptr)) {
        if (auto folder = std::dynamic_pointer_cast<Folder>(last)) {
            std::weak_ptr<FileCollectionViewController> weak = sharedAs<FileCollectionViewController>();
            dispatch::Queue::global()->async([weak, folder, manager = m_videoManager] {
                // Lists off the main thread; the reload goes back to it.
                if (!manager->contents(folder)) return;
                dispatch::Queue::main()->async([weak, folder] {
                    if (auto self = weak.lock()) self->reloadItems({folder});
                });
            });
        } else if (std::dynamic_pointer_cast<Video>(last)) {
            played.push_back(last);
        }
    }
    reloadItemsOnMain(std::move(played));
}

void FileCollectionViewController::viewDidAppear(bool animated) {
    ui::ViewController::viewDidAppear(animated);
    for (const auto& cell : collectionView()->visibleCells()) {
        if (auto libraryCell = std::dynamic_pointer_cast<LibraryCollectionViewCell>(cell))
            if (auto title = libraryCell->titleLabel()) title->setLabelize(false);
    }
    m_appeared = true;
}

void FileCollectionViewController::viewDidDisappear(bool animated) {
    ui::ViewController::viewDidDisappear(animated);
    if (!m_lastItemSelected) return;
    if (auto cell = visibleCell(m_lastItemSelected)) cell->setTransform(ui::AffineTransform::identity());
}

std::shared_ptr<ui::Action> FileCollectionViewController::weakAction(
    std::string title, std::function<void(FileCollectionViewController&)> body, unsigned attributes) {
    std::weak_ptr<FileCollectionViewController> weak = sharedAs<FileCollectionViewController>();
    return ui::Action::create(std::move(title), nullptr, {}, attributes, ui::Action::State::off,
                              [weak, body = std::move(body)](ui::Action&) {
                                  if (auto self = weak.lock()) body(*self);
                              });
}

void FileCollectionViewController::configureBarItems() {
    navigationItem()->setTitle(m_folder ? m_folder->displayName() : std::string());
    editButton()->setEnabled(true);
    navigationItem()->setRightBarButtonItems({editButton()}, false);
}

void FileCollectionViewController::configureSearchBarItems() {
    configureBarItems();
    editButton()->setEnabled(false);
}

void FileCollectionViewController::configureEditBarItems() {
    navigationItem()->setTitle({});
    auto newFolder = ui::BarButtonItem::create({}, ui::Image::systemImage("folder.badge.plus", mediumSymbol()));
    newFolder->setPrimaryAction(weakAction({}, [](FileCollectionViewController& self) { self.showNewFolderAlert(); }));

    auto done = ui::BarButtonItem::create("Done", nullptr, ui::BarButtonItem::Style::done);
    done->setPrimaryAction(weakAction("Done", [](FileCollectionViewController& self) { self.setMode(Mode::normal); }));

    auto move = ui::BarButtonItem::create("Move");
    move->setPrimaryAction(weakAction("Move", [](FileCollectionViewController& self) { self.showMoveSheet(); }));

    auto remove = ui::BarButtonItem::create("Delete");
    remove->setTintColor(ui::Color::systemRed());
    remove->setPrimaryAction(weakAction(
        "Delete", [](FileCollectionViewController& self) { self.confirmDeleteSelection(); }, ui::Action::destructive));

    const bool selecting = m_mode == Mode::select;
    move->setEnabled(selecting);
    remove->setEnabled(selecting);
    navigationItem()->setLeftBarButtonItems({newFolder}, false);
    navigationItem()->setRightBarButtonItems({done, move, remove}, false);
}

void FileCollectionViewController::setMode(Mode mode) {
    m_mode = mode;
    auto item = navigationItem();
    item->setLeftBarButtonItems({}, false);
    item->setRightBarButtonItems({}, false);
    auto grid = collectionView();
    const auto deselectAll = [&grid] {
        for (const auto& path : grid->selectedIndexPaths()) grid->deselectItem(path);
    };
    switch (mode) {
        case Mode::normal:
            configureBarItems();
            deselectAll();
            grid->setAllowsMultipleSelection(false);
            break;
        case Mode::edit:
            grid->setAllowsMultipleSelection(true);
            configureEditBarItems();
            break;
        case Mode::select: configureEditBarItems(); break;
        case Mode::search:
            configureSearchBarItems();
            deselectAll();
            grid->setAllowsMultipleSelection(false);
            break;
    }
}

std::string FileCollectionViewController::searchText() const {
    auto search = const_cast<FileCollectionViewController*>(this)->navigationItem()->searchController();
    if (!search) return {};
    return search->searchBar()->text().value_or("");
}

std::vector<LibraryItemPtr> FileCollectionViewController::flattenOneLevel(const std::vector<LibraryItemPtr>& items) {
    std::vector<LibraryItemPtr> flat;
    for (const auto& item : items) {
        if (auto folder = std::dynamic_pointer_cast<Folder>(item)) {
            const auto contents = folder->contents();
            flat.insert(flat.end(), contents.begin(), contents.end());
        } else {
            flat.push_back(item);
        }
    }
    return flat;
}

std::vector<LibraryItemPtr> FileCollectionViewController::sortItems(std::vector<LibraryItemPtr> items) {
    std::stable_sort(items.begin(), items.end(), &VideoManager::nameOrder);
    return items;
}

std::vector<LibraryItemPtr> FileCollectionViewController::filterItems(const std::vector<LibraryItemPtr>& items,
                                                                      const std::string& text) {
    // Case folded and canonically normalised on both sides: a name copied from a system that
    // writes "é" as "e" and a combining accent is found by the "é" typed here.
    std::vector<LibraryItemPtr> found;
    std::copy_if(items.begin(), items.end(), std::back_inserter(found), [&text](const LibraryItemPtr& item) {
        return foundation::StringCompare::localizedCaseInsensitiveContains(item->displayName(), text);
    });
    return found;
}

void FileCollectionViewController::applySnapshot(bool animatingDifferences) {
    if (!m_dataSource) return;
    DataSource::Snapshot snapshot;
    snapshot.appendSections({Section::main});
    auto search = navigationItem()->searchController();
    const auto text = search ? search->searchBar()->text() : std::nullopt;
    if (text && m_mode == Mode::search) {
        // An empty search shows nothing rather than the whole folder.
        if (!text->empty())
            snapshot.appendItems(filterItems(sortItems(flattenOneLevel(m_videoManager->library())), *text),
                                 Section::main);
    } else {
        snapshot.appendItems(m_videoManager->library(), Section::main);
    }
    m_dataSource->apply(std::move(snapshot), animatingDifferences);
}

void FileCollectionViewController::reloadItems(const std::vector<LibraryItemPtr>& items) {
    if (!m_dataSource) return;
    // Only the items still shown are reloaded: one that left the grid (deleted, filtered out by a
    // search) while its metadata was made would make the snapshot's reload fail.
    auto snapshot = m_dataSource->snapshot();
    std::vector<LibraryItemPtr> present;
    std::copy_if(items.begin(), items.end(), std::back_inserter(present),
                 [&snapshot](const LibraryItemPtr& item) { return snapshot.contains(item); });
    if (present.empty() && !items.empty()) return;
    snapshot.reloadItems(present);
    m_dataSource->apply(std::move(snapshot), true);
}

void FileCollectionViewController::reloadItemsOnMain(std::vector<LibraryItemPtr> items) {
    dispatch::Queue::main()->async(
        [self = sharedAs<FileCollectionViewController>(), items = std::move(items)] { self->reloadItems(items); });
}

LibraryItemPtr FileCollectionViewController::gridItem(const ui::IndexPath& indexPath) const {
    if (!m_dataSource) return nullptr;
    return m_dataSource->itemIdentifier(indexPath).value_or(nullptr);
}

std::optional<int> FileCollectionViewController::libraryIndex(const LibraryItem& item) const {
    const auto library = m_videoManager->library();
    const auto id = item.id();
    for (std::size_t index = 0; index < library.size(); ++index)
        if (library[index]->id() == id) return static_cast<int>(index);
    return std::nullopt;
}

std::shared_ptr<ui::CollectionViewCell> FileCollectionViewController::visibleCell(const LibraryItemPtr& item) {
    if (!m_dataSource || !item) return nullptr;
    const auto path = m_dataSource->indexPath(item);
    return path ? collectionView()->cellAt(*path) : nullptr;
}

void FileCollectionViewController::openItem(const ui::IndexPath& indexPath) {
    switch (m_mode) {
        case Mode::edit: setMode(Mode::select); return;
        case Mode::select: return;
        case Mode::normal:
        case Mode::search: break;
    }
    auto item = gridItem(indexPath);
    if (!item) return;
    auto grid = collectionView();
    if (auto cell = grid->cellAt(indexPath)) {
        ui::View::animate(0.2, [cell] { cell->setTransform(ui::AffineTransform::scale(0.98, 0.98)); });
    }
    if (auto folder = std::dynamic_pointer_cast<Folder>(item)) {
        auto manager = VideoManager::create(m_videoManager->documentsClient(), m_progressClient,
                                            m_videoManager->thumbnailCache(), folder->url());
        manager->setParent(m_videoManager);
        auto screen =
            FileCollectionViewController::create(folder, manager, m_progressClient, m_webServer, m_mediaCenterService);
        m_lastItemSelected = item;
        if (auto navigation = navigationController()) navigation->pushViewController(screen, true);
    } else if (auto video = std::dynamic_pointer_cast<Video>(item)) {
        m_lastItemSelected = item;
        presentPlayer(video);
    }
    grid->deselectItem(indexPath);
}

void FileCollectionViewController::presentPlayer(const VideoPtr& video) {
    present(makePlayerController(m_progressClient, m_videoManager, video, m_mediaCenterService), true);
}

void FileCollectionViewController::didSelectItem(ui::CollectionView&, const ui::IndexPath& indexPath) {
    openItem(indexPath);
}

void FileCollectionViewController::didDeselectItem(ui::CollectionView& view, const ui::IndexPath&) {
    if (m_mode == Mode::select && view.selectedIndexPaths().empty()) setMode(Mode::edit);
}

void FileCollectionViewController::willDisplayCell(ui::CollectionView&, ui::CollectionViewCell& cell,
                                                   const ui::IndexPath&) {
    if (!m_appeared) return;
    if (auto libraryCell = dynamic_cast<LibraryCollectionViewCell*>(&cell))
        if (auto title = libraryCell->titleLabel()) title->restartLabel();
}

void FileCollectionViewController::didEndDisplayingCell(ui::CollectionView&, ui::CollectionViewCell& cell,
                                                        const ui::IndexPath&) {
    if (auto libraryCell = dynamic_cast<LibraryCollectionViewCell*>(&cell))
        if (auto title = libraryCell->titleLabel()) title->shutdownLabel();
}

void FileCollectionViewController::libraryDidChange() {
    dispatch::Queue::main()->async([self = sharedAs<FileCollectionViewController>()] {
        self->applySnapshot(true);
        EmptyDataSet::reloadEmptyDataSet(*self->collectionView());
    });
}

void FileCollectionViewController::initialLoadDidFinish() {
    dispatch::Queue::main()->async([self = sharedAs<FileCollectionViewController>()] {
        self->applySnapshot(false);
        EmptyDataSet::reloadEmptyDataSet(*self->collectionView());
    });
}

void FileCollectionViewController::foldersDidChange(const std::vector<FolderPtr>& folders) {
    reloadItemsOnMain({folders.begin(), folders.end()});
}

}  // namespace reelhaven
