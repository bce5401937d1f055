#include "library/library_file_collection_view_controller.h"

#include <mutex>

#include "core/preferences.h"
#include "core/video_manager.h"
#include "library/import_menu_controller.h"
#include "library/open_url_hosting_controller.h"
#include "platform/base/fatal.h"
#include "platform/foundation/uniform_type.h"
#include "platform/foundation/uuid.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/page_view_controller.h"
#include "platform/ui/controllers/search_controller.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/text/text_attachment.h"
#include "settings/settings_table_view_controller.h"
#include "toolkit/device_flag.h"
#include "toolkit/empty_data_set.h"
#include "toolkit/transparent_popover_background_up.h"
#include "transfer/web_uploader.h"

namespace reelhaven {
namespace {

// The program's own video types, with the extensions that carry them.
const std::vector<foundation::UniformType::Declaration>& declaredVideoTypes() {
    static const std::vector<foundation::UniformType::Declaration> types{
        {"app.reelhaven.matroska", {"mkv", "mk3d"}, {"public.movie"}},
        {"app.reelhaven.webm", {"webm"}, {"public.movie"}},
        {"app.reelhaven.wmv", {"wmv"}, {"public.movie"}},
        {"app.reelhaven.divx", {"divx"}, {"public.movie"}},
        {"app.reelhaven.flash", {"flv", "f4v"}, {"public.movie"}},
        {"app.reelhaven.realmedia", {"rm", "rmvb"}, {"public.movie"}},
        {"app.reelhaven.vob", {"vob"}, {"public.movie"}},
        {"app.reelhaven.asf", {"asf"}, {"public.movie"}},
        {"app.reelhaven.3gpp", {"3gp"}, {"public.movie"}},
        {"app.reelhaven.3gpp2", {"3g2"}, {"public.movie"}},
    };
    return types;
}

ui::SymbolConfiguration mediumSymbol() {
    ui::SymbolConfiguration configuration;
    configuration.weight = ui::SymbolWeight::medium;
    return configuration;
}

}  // namespace

const std::vector<std::string>& LibraryFileCollectionViewController::supportedVideoTypes() {
    static const std::vector<std::string> types = [] {
        for (const auto& declaration : declaredVideoTypes()) foundation::UniformType::declare(declaration);
        const auto imported = [](const char* identifier) {
            return foundation::UniformType::importedAs(identifier).identifier();
        };
        using Type = foundation::UniformType;
        return std::vector<std::string>{Type::movie().identifier(),
                                        Type::video().identifier(),
                                        imported("app.reelhaven.matroska"),
                                        Type::mpeg4Movie().identifier(),
                                        imported("app.reelhaven.webm"),
                                        Type::avi().identifier(),
                                        Type::mpeg2TransportStream().identifier(),
                                        Type::quickTimeMovie().identifier(),
                                        Type::mpeg().identifier(),
                                        Type::mpeg2Video().identifier(),
                                        imported("app.reelhaven.wmv"),
                                        imported("app.reelhaven.divx"),
                                        imported("app.reelhaven.flash"),
                                        imported("app.reelhaven.realmedia"),
                                        imported("app.reelhaven.vob"),
                                        imported("app.reelhaven.asf"),
                                        imported("app.reelhaven.3gpp"),
                                        imported("app.reelhaven.3gpp2")};
    }();
    return types;
}

std::shared_ptr<LibraryFileCollectionViewController> LibraryFileCollectionViewController::create(
    FolderPtr folder, std::shared_ptr<VideoManager> videoManager, std::shared_ptr<ProgressClient> progressClient,
    std::shared_ptr<WebUploader> webServer, std::shared_ptr<MediaCenterService> mediaCenterService) {
    return std::shared_ptr<LibraryFileCollectionViewController>(
        new LibraryFileCollectionViewController(std::move(folder), std::move(videoManager), std::move(progressClient),
                                                std::move(webServer), std::move(mediaCenterService)));
}

LibraryFileCollectionViewController::LibraryFileCollectionViewController(
    FolderPtr folder, std::shared_ptr<VideoManager> videoManager, std::shared_ptr<ProgressClient> progressClient,
    std::shared_ptr<WebUploader> webServer, std::shared_ptr<MediaCenterService> mediaCenterService)
    : FileCollectionViewController(std::move(folder), std::move(videoManager), std::move(progressClient),
                                   std::move(webServer), std::move(mediaCenterService)) {}

std::shared_ptr<ui::BarButtonItem> LibraryFileCollectionViewController::makeBarButton(
    const std::string& systemImageName, std::function<void(LibraryFileCollectionViewController&)> action) {
    auto button = ui::BarButtonItem::create({}, ui::Image::systemImage(systemImageName, mediumSymbol()));
    button->setPrimaryAction(weakAction({}, [action = std::move(action)](FileCollectionViewController& screen) {
        action(static_cast<LibraryFileCollectionViewController&>(screen));
    }));
    return button;
}

std::shared_ptr<ui::BarButtonItem> LibraryFileCollectionViewController::settingsButton() {
    if (!m_settingsButton)
        m_settingsButton =
            makeBarButton("gear", [](LibraryFileCollectionViewController& self) { self.showSettings(); });
    return m_settingsButton;
}

std::shared_ptr<ui::BarButtonItem> LibraryFileCollectionViewController::playButton() {
    if (!m_playButton)
        m_playButton =
            makeBarButton("play.rectangle", [](LibraryFileCollectionViewController& self) { self.showPlaySheet(); });
    return m_playButton;
}

std::shared_ptr<ui::BarButtonItem> LibraryFileCollectionViewController::importButton() {
    if (!m_importButton)
        m_importButton =
            makeBarButton("arrow.down.doc", [](LibraryFileCollectionViewController& self) { self.showImportMenu(); });
    return m_importButton;
}

std::shared_ptr<ui::DocumentPickerViewController> LibraryFileCollectionViewController::openPicker() {
    if (m_openPicker) return m_openPicker;
    m_openPicker = ui::DocumentPickerViewController::create(supportedVideoTypes(), false);
    m_openPicker->setDelegate(sharedAs<LibraryFileCollectionViewController>());
    m_openPicker->setAllowsMultipleSelection(false);
    return m_openPicker;
}

std::shared_ptr<ui::DocumentPickerViewController> LibraryFileCollectionViewController::importPicker() {
    if (m_importPicker) return m_importPicker;
    m_importPicker = ui::DocumentPickerViewController::create(supportedVideoTypes(), true);
    m_importPicker->setDelegate(sharedAs<LibraryFileCollectionViewController>());
    m_importPicker->setAllowsMultipleSelection(true);
    m_importPicker->navigationItem()->setTitle("Import Files");
    return m_importPicker;
}

void LibraryFileCollectionViewController::viewDidLoad() {
    FileCollectionViewController::viewDidLoad();
    auto grid = collectionView();
    auto self = sharedAs<LibraryFileCollectionViewController>();
    EmptyDataSet::setEmptyDataSetSource(*grid, self);
    EmptyDataSet::setEmptyDataSetDelegate(*grid, self);
    EmptyDataSet::reloadEmptyDataSet(*grid);
}

void LibraryFileCollectionViewController::configureBarItems() {
    auto item = navigationItem();
    item->setTitle("Library");
    editButton()->setEnabled(true);
    item->setLeftBarButtonItems({settingsButton(), playButton()}, false);
    item->setRightBarButtonItems({editButton(), importButton()}, false);
    if (auto search = item->searchController(); search && search->isViewLoaded()) search->view()->setNeedsLayout();
}

void LibraryFileCollectionViewController::configureSearchBarItems() {
    auto item = navigationItem();
    item->setTitle("Library");
    editButton()->setEnabled(false);
    item->setLeftBarButtonItems({settingsButton(), playButton()}, false);
    item->setRightBarButtonItems({editButton(), importButton()}, false);
}

void LibraryFileCollectionViewController::showSettings() {
    auto navigation = navigationController();
    if (!navigation) return;
    auto controller = ui::Storyboard::named(SettingsTableViewController::kStoryboardName)
                          ->instantiateViewController(SettingsTableViewController::kStoryboardIdentifier);
    auto settings = std::dynamic_pointer_cast<SettingsTableViewController>(controller);
    if (!settings)
        base::fatal("LibraryFileCollectionViewController: \"settings\" is not a SettingsTableViewController");
    settings->setProgressClient(progressClient());
    settings->setVideoManager(videoManager());
    navigation->pushViewController(settings, true);
}

void LibraryFileCollectionViewController::showImportMenu() {
    auto menu = ImportMenuController::create(webServer());
    std::weak_ptr<LibraryFileCollectionViewController> weak = sharedAs<LibraryFileCollectionViewController>();
    menu->onImportFiles = [weak] {
        if (auto self = weak.lock()) self->showImportPicker();
    };
    menu->onToggleServer = [weak] {
        if (auto self = weak.lock()) self->toggleWebServer();
    };
    menu->setModalPresentationStyle(ui::ModalPresentationStyle::popover);
    menu->setPreferredContentSize({300, 180});
    auto popover = menu->popoverPresentationController();
    popover->setDelegate(sharedAs<LibraryFileCollectionViewController>());
    popover->setBackgroundColor(ui::Color::clear());
    popover->setPermittedArrowDirections(ui::popoverArrowUp);
    popover->setPassthroughViews({});
    popover->setPopoverBackgroundViewClass("TransparentPopoverBackgroundUp",
                                           [] { return TransparentPopoverBackgroundUp::create(); });
    popover->setCanOverlapSourceViewRect(true);
    popover->setBarButtonItem(importButton());
    m_importMenu = menu;
    present(menu, true);
}

void LibraryFileCollectionViewController::dismissPresented(std::function<void()> then) {
    if (!presentedViewController()) {
        then();
        return;
    }
    dismiss(false, std::move(then));
}

void LibraryFileCollectionViewController::showImportPicker() {
    auto navigation = ui::NavigationController::create(importPicker());
    navigation->setModalPresentationStyle(ui::ModalPresentationStyle::pageSheet);
    navigation->view()->setBackgroundColor(ui::Color::systemGray6());
    std::weak_ptr<LibraryFileCollectionViewController> weak = sharedAs<LibraryFileCollectionViewController>();
    dismissPresented([weak, navigation] {
        if (auto self = weak.lock()) self->present(navigation, true);
    });
}

std::shared_ptr<ui::SegmentedControl> LibraryFileCollectionViewController::playModalControl() {
    if (m_playModalControl) return m_playModalControl;
    m_playModalControl = ui::SegmentedControl::create({"Play External File", "Play URL"});
    std::weak_ptr<LibraryFileCollectionViewController> weak = sharedAs<LibraryFileCollectionViewController>();
    m_playModalControl->addTarget(
        sharedAs<LibraryFileCollectionViewController>(),
        [weak](ui::Control& sender) {
            auto self = weak.lock();
            auto control = dynamic_cast<ui::SegmentedControl*>(&sender);
            if (self && control) self->playModalChanged(*control);
        },
        ui::valueChanged);
    return m_playModalControl;
}

std::shared_ptr<OpenURLHostingController> LibraryFileCollectionViewController::openURLController() {
    if (m_openURLController) return m_openURLController;
    std::weak_ptr<LibraryFileCollectionViewController> weak = sharedAs<LibraryFileCollectionViewController>();
    m_openURLController = makeOpenURLController(
        [weak](const std::optional<std::string>& text) {
            if (auto self = weak.lock()) self->handleOpenURL(text);
        },
        m_openURLSink);
    return m_openURLController;
}

void LibraryFileCollectionViewController::showPlaySheet() {
    // The stored page: only 1 is the second. Any other number (a hand-edited file; 2^32, which
    // would wrap to 0 as an int) opens the first page, with its segment selected to match.
    const int index = Preferences::shared().playExternalFileIndex.wrappedValue() == 1 ? 1 : 0;
    playModalControl()->setSelectedSegmentIndex(index);
    auto pages = ui::PageViewController::create(ui::PageViewController::TransitionStyle::scroll,
                                                ui::PageViewController::NavigationOrientation::horizontal);
    pages->navigationItem()->setTitleView(playModalControl());
    std::shared_ptr<ui::ViewController> page;
    if (index != 0) {
        page = openURLController();
        openPicker()->loadViewIfNeeded();
    } else {
        page = openPicker();
        openURLController()->loadViewIfNeeded();
    }
    pages->setViewControllers({page}, ui::PageViewController::NavigationDirection::forward, false);
    auto sheet = ui::NavigationController::create(pages);
    sheet->setModalPresentationStyle(ui::ModalPresentationStyle::formSheet);
    sheet->setPreferredContentSize({1024, 1024});
    std::weak_ptr<LibraryFileCollectionViewController> weak = sharedAs<LibraryFileCollectionViewController>();
    dismissPresented([weak, sheet] {
        if (auto self = weak.lock()) self->present(sheet, true);
    });
}

void LibraryFileCollectionViewController::playModalChanged(ui::SegmentedControl& sender) {
    const int index = sender.selectedSegmentIndex();
    Preferences::shared().playExternalFileIndex.setWrappedValue(index);
    auto sheet = std::dynamic_pointer_cast<ui::NavigationController>(presentedViewController());
    if (!sheet || sheet->viewControllers().empty()) return;
    auto pages = std::dynamic_pointer_cast<ui::PageViewController>(sheet->viewControllers().front());
    if (!pages) return;
    if (index == 1) {
        playModalControl()->setSelectedSegmentIndex(1);
        pages->setViewControllers({openURLController()}, ui::PageViewController::NavigationDirection::forward, true);
    } else if (index == 0) {
        playModalControl()->setSelectedSegmentIndex(0);
        pages->setViewControllers({openPicker()}, ui::PageViewController::NavigationDirection::reverse, true);
    }
}

void LibraryFileCollectionViewController::handleOpenURL(const std::optional<std::string>& text) {
    const auto url = text ? foundation::URL::parse(*text) : std::nullopt;
    if (!presentedViewController()) {
        if (url) playExternalVideo(*url);
        return;
    }
    // The sheet slides away whatever the text; an address plays once it has gone, never over it.
    std::weak_ptr<LibraryFileCollectionViewController> weak = sharedAs<LibraryFileCollectionViewController>();
    dismiss(true, [weak, url] {
        auto self = weak.lock();
        if (self && url) self->playExternalVideo(*url);
    });
}

void LibraryFileCollectionViewController::startWebServer() {
    auto server = webServer();
    if (!server->startWithPort(80, std::string(bonjourName))) {
        // Port 80 is taken or needs privileges here: any free port serves as well, and the row
        // shows it.
        (void)server->startWithPort(0, std::string(bonjourName));
    }
    server->setDelegate(std::static_pointer_cast<WebUploaderDelegate>(sharedAs<LibraryFileCollectionViewController>()));
}

void LibraryFileCollectionViewController::toggleWebServer() {
    auto server = webServer();
    if (!server) return;
    if (server->isRunning())
        server->stop();
    else
        startWebServer();
    // The device stays awake exactly while the server runs, read from the server rather than
    // from the switch: a start that failed must not keep the screen on for nothing.
    ui::Application::shared().setIdleTimerHeld(idleTimerHolder, server->isRunning());
    if (auto menu = importMenu()) menu->reloadServerRow();
}

void LibraryFileCollectionViewController::didPickDocuments(ui::DocumentPickerViewController& picker,
                                                           const std::vector<foundation::URL>& urls) {
    if (&picker == m_importPicker.get()) {
        // The picker sits in a sheet of its own, which goes with it.
        if (presentedViewController()) dismiss(true);
        videoManager()->importDocuments(urls);
    } else if (&picker == m_openPicker.get() && !urls.empty()) {
        playExternalVideo(urls.front());
    }
}

void LibraryFileCollectionViewController::playExternalVideo(const foundation::URL& url) {
    // Made field by field: a file from elsewhere gets a fresh identity and its file is not
    // touched (no identity attribute is read or written).
    // A file picked to play, or an address typed: the user's own choice, which may reach any
    // protocol or format.
    auto video = Video::opened(url, MediaOrigin::chosenByUser);
    std::weak_ptr<LibraryFileCollectionViewController> weak = sharedAs<LibraryFileCollectionViewController>();
    // The player comes once whatever is presented (the picker, a sheet) has gone.
    dismissPresented([weak, video] {
        if (auto self = weak.lock()) self->presentPlayer(video);
    });
}

std::shared_ptr<ui::AttributedString> LibraryFileCollectionViewController::titleForEmptyDataSet(ui::ScrollView&) {
    return ui::AttributedString::create(
        "No Videos Yet",
        {{ui::AttributedStringKey::font(), ui::Font::systemFont(isPad() ? 24 : 18, ui::FontWeight::semibold)},
         {ui::AttributedStringKey::foregroundColor(), ui::Color::systemGray2()}});
}

std::shared_ptr<ui::AttributedString> LibraryFileCollectionViewController::descriptionForEmptyDataSet(ui::ScrollView&) {
    const ui::TextAttributes attributes{
        {ui::AttributedStringKey::font(), ui::Font::systemFont(isPad() ? 18 : 16, ui::FontWeight::regular)},
        {ui::AttributedStringKey::foregroundColor(), ui::Color::systemGray2()}};
    const auto symbol = [&attributes](const std::string& name) {
        auto attachment =
            ui::TextAttachment::create(ui::Image::systemImage(name)->withTintColor(ui::Color::systemGray2()));
        return ui::AttributedString::withAttachment(attachment, attributes);
    };
    auto text = ui::AttributedString::create("You can play a video by tapping ", attributes);
    text = text->appending(*symbol("play.rectangle"));
    text = text->appending(*ui::AttributedString::create(", import videos by tapping ", attributes));
    text = text->appending(*symbol("arrow.down.doc"));
    return text->appending(
        *ui::AttributedString::create(", or copy videos using AirDrop or the Files app.", attributes));
}

}  // namespace reelhaven
