#pragma once

#include <memory>
#include <string>
#include <vector>

#include "library/file_collection_view_controller.h"
#include "platform/foundation/cancellable.h"
#include "platform/ui/controllers/document_picker_view_controller.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controls/segmented_control.h"
#include "toolkit/empty_data_set_delegate.h"
#include "toolkit/empty_data_set_source.h"

namespace reelhaven {

class ImportMenuController;
class OpenURLHostingController;

// The root of the library: the folder grid over Documents with the title "Library", the settings,
// play, edit and import buttons, the import menu (files, and the switch of the Wi-Fi transfer
// server), the play sheet (a file opened in place), and the empty state. It is the only screen
// that starts and stops the transfer server and the server's delegate, so changes made through
// a browser relist Documents here. Main thread.
class LibraryFileCollectionViewController : public FileCollectionViewController,
                                            public ui::DocumentPickerDelegate,
                                            public ui::PopoverPresentationControllerDelegate,
                                            public EmptyDataSetSource,
                                            public EmptyDataSetDelegate {
public:
    static constexpr const char* bonjourName = "Transfer to Reelhaven";
    // Says for the server that the device must not lock while it runs.
    static constexpr const char* idleTimerHolder = "webServer";

    // The scene makes it with no folder: the root stands for Documents.
    static std::shared_ptr<LibraryFileCollectionViewController> create(
        FolderPtr folder, std::shared_ptr<VideoManager> videoManager, std::shared_ptr<ProgressClient> progressClient,
        std::shared_ptr<WebUploader> webServer, std::shared_ptr<MediaCenterService> mediaCenterService);
    std::string className() const override { return "LibraryFileCollectionViewController"; }

    // The openable video types both pickers offer, in their order.
    static const std::vector<std::string>& supportedVideoTypes();

    std::shared_ptr<ui::BarButtonItem> settingsButton();
    std::shared_ptr<ui::BarButtonItem> playButton();
    std::shared_ptr<ui::BarButtonItem> importButton();
    std::shared_ptr<ui::DocumentPickerViewController> openPicker();
    std::shared_ptr<ui::DocumentPickerViewController> importPicker();
    std::shared_ptr<ui::SegmentedControl> playModalControl();
    std::shared_ptr<OpenURLHostingController> openURLController();
    // The import menu while it is presented.
    std::shared_ptr<ImportMenuController> importMenu() const { return m_importMenu.lock(); }

    void viewDidLoad() override;
    void configureBarItems() override;
    void configureSearchBarItems() override;

    // Pushes the main settings screen from the storyboard "Settings" with this screen's services.
    void showSettings();
    void showImportMenu();
    void showImportPicker();
    // The play sheet: a file opened in place or a typed address, on the page chosen last.
    void showPlaySheet();
    void playModalChanged(ui::SegmentedControl& sender);
    // The Open URL page's address: the sheet closes, then the address plays.
    void handleOpenURL(const std::optional<std::string>& text);
    void toggleWebServer();
    // Plays a picked file or a typed address as a video of its own, outside the library.
    void playExternalVideo(const foundation::URL& url);

    // ui::DocumentPickerDelegate
    void didPickDocuments(ui::DocumentPickerViewController& picker, const std::vector<foundation::URL>& urls) override;
    // Popovers stay popovers on a phone.
    std::optional<ui::ModalPresentationStyle> adaptivePresentationStyle(ui::PopoverPresentationController&,
                                                                        const ui::TraitCollection&) override {
        return ui::ModalPresentationStyle::none;
    }

    // EmptyDataSetSource
    std::shared_ptr<ui::AttributedString> titleForEmptyDataSet(ui::ScrollView&) override;
    std::shared_ptr<ui::AttributedString> descriptionForEmptyDataSet(ui::ScrollView&) override;
    double spaceHeightForEmptyDataSet(ui::ScrollView&) override { return 5; }
    double verticalOffsetForEmptyDataSet(ui::ScrollView&) override { return -80; }

private:
    LibraryFileCollectionViewController(FolderPtr folder, std::shared_ptr<VideoManager> videoManager,
                                        std::shared_ptr<ProgressClient> progressClient,
                                        std::shared_ptr<WebUploader> webServer,
                                        std::shared_ptr<MediaCenterService> mediaCenterService);
    std::shared_ptr<ui::BarButtonItem> makeBarButton(const std::string& systemImageName,
                                                     std::function<void(LibraryFileCollectionViewController&)> action);
    void startWebServer();
    // Runs `then` once nothing is presented any more (at once when nothing is).
    void dismissPresented(std::function<void()> then);

    std::shared_ptr<ui::BarButtonItem> m_settingsButton;
    std::shared_ptr<ui::BarButtonItem> m_playButton;
    std::shared_ptr<ui::BarButtonItem> m_importButton;
    std::shared_ptr<ui::DocumentPickerViewController> m_openPicker;
    std::shared_ptr<ui::DocumentPickerViewController> m_importPicker;
    std::weak_ptr<ImportMenuController> m_importMenu;
    std::shared_ptr<ui::SegmentedControl> m_playModalControl;
    foundation::Cancellable m_openURLSink;
    std::shared_ptr<OpenURLHostingController> m_openURLController;
};

}  // namespace reelhaven
