#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/documents_client.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/json.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/window.h"
#include "settings/settings_table_view_controller.h"
#include "settings/settings_work_queue.h"

namespace reelhaven::settings_testing {

// The container of the whole test program, installed before any test reads a setting.
const std::filesystem::path& containerHome();
std::filesystem::path documentsFolder();
std::filesystem::path cachesFolder();
// The settings as the standard defaults file holds them now.
foundation::Json storedDefaults();

// The space between each section's last row and the next section's header as the table lays
// them out, for every section after the first, in order.
std::vector<double> gapsAboveHeaders(ui::TableView& table);

// Hears the manager's reports from any thread.
class RecordingManagerDelegate : public VideoManagerDelegate {
public:
    void libraryDidChange() override;
    void initialLoadDidFinish() override {}
    void foldersDidChange(const std::vector<FolderPtr>&) override {}
    int libraryChanges() const;

private:
    mutable std::mutex m_mutex;
    int m_libraryChanges = 0;
};

// Holds a serial queue shut until opened, so a test can act before queued work runs.
class QueueGate {
public:
    explicit QueueGate(const std::shared_ptr<dispatch::Queue>& queue);
    ~QueueGate() { open(); }
    QueueGate(const QueueGate&) = delete;
    QueueGate& operator=(const QueueGate&) = delete;
    void open();

private:
    struct State;
    std::shared_ptr<State> m_state;
};

// A phone window in a scene with the library's services, the settings work on a serial queue
// the test flushes, empty Documents and Caches, and every setting the screens touch at a known
// value. The main settings screen opens in a navigation controller as the library pushes it.
class SettingsScreenTest : public ::testing::Test {
protected:
    SettingsScreenTest();
    ~SettingsScreenTest() override;

    // The main settings screen, pushed onto the window's navigation controller.
    std::shared_ptr<SettingsTableViewController> openSettings();
    // Runs the settings work queued so far, then what it handed to the main queue.
    void drainWork();
    // Waits for the manager's queued listing and metadata work.
    void drainManager();
    // Ends the transitions under way and lays the window out.
    void settle();
    // Lays the window out at a width, in an orientation.
    void resizeWindow(double width, double height, ui::InterfaceOrientation orientation);

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<dispatch::Queue> workQueue = dispatch::Queue::create("settings.test.work");
    ScopedSettingsWorkQueue installedQueue{workQueue};
    std::shared_ptr<ui::WindowScene> scene;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::NavigationController> navigation;
    std::shared_ptr<DocumentsClient> documentsClient = DocumentsClient::create();
    std::shared_ptr<ProgressClient> progressClient;
    std::shared_ptr<VideoManager> videoManager;
    std::shared_ptr<RecordingManagerDelegate> managerDelegate = std::make_shared<RecordingManagerDelegate>();
};

}  // namespace reelhaven::settings_testing
