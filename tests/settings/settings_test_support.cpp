#include "settings_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <fstream>

#include "core/preferences.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/lists/list_geometry.h"
#include "platform/ui/lists/table_view.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/views/screen.h"
#include "settings/settings_storyboard.h"
#include "support/container_environment.h"

namespace reelhaven::settings_testing {
namespace {

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new testing_support::ContainerEnvironment);

void emptyFolder(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) std::filesystem::remove_all(entry.path());
}

void resetSettings() {
    auto& preferences = Preferences::shared();
    for (auto* setting : {&preferences.continueAudioBackground, &preferences.useEDR, &preferences.reduceHaptics,
                          &preferences.preferLandscape, &preferences.icloudBackup})
        setting->setWrappedValue(false);
    for (auto* setting : {&preferences.seekGestures, &preferences.volumeGestures, &preferences.brightnessGestures,
                          &preferences.playPauseTapGestures})
        setting->setWrappedValue(true);
    preferences.audioLanguage.setWrappedValue("");
    preferences.subtitleLanguage.setWrappedValue("");
}

}  // namespace

const std::filesystem::path& containerHome() { return testing_support::ContainerEnvironment::home(); }

std::filesystem::path documentsFolder() {
    return foundation::Container::current()->folder(foundation::SearchPathDirectory::documents);
}

std::filesystem::path cachesFolder() {
    return foundation::Container::current()->folder(foundation::SearchPathDirectory::caches);
}

foundation::Json storedDefaults() {
    std::ifstream file(foundation::UserDefaults::standard()->file());
    if (!file) return foundation::Json::object();
    return foundation::Json::parse(file);
}

void RecordingManagerDelegate::libraryDidChange() {
    std::lock_guard lock(m_mutex);
    ++m_libraryChanges;
}

int RecordingManagerDelegate::libraryChanges() const {
    std::lock_guard lock(m_mutex);
    return m_libraryChanges;
}

struct QueueGate::State {
    std::mutex mutex;
    std::condition_variable opened;
    bool open = false;
};

QueueGate::QueueGate(const std::shared_ptr<dispatch::Queue>& queue) : m_state(std::make_shared<State>()) {
    // The waiting block shares the state, so it may wake after the gate is gone.
    queue->async([state = m_state] {
        std::unique_lock lock(state->mutex);
        state->opened.wait(lock, [&] { return state->open; });
    });
}

void QueueGate::open() {
    std::lock_guard lock(m_state->mutex);
    m_state->open = true;
    m_state->opened.notify_all();
}

std::vector<double> gapsAboveHeaders(ui::TableView& table) {
    table.layoutIfNeeded();
    const auto& sections = table.geometry().sections;
    std::vector<double> gaps;
    for (size_t section = 1; section < sections.size(); ++section) {
        const auto& above = sections[section - 1].items;
        const auto& boundaries = sections[section].supplementaries;
        const auto header = std::find_if(boundaries.begin(), boundaries.end(),
                                         [](const ui::SupplementaryPlacement& placed) { return placed.atTop; });
        EXPECT_FALSE(above.empty()) << "section " << section - 1 << " has no rows";
        EXPECT_NE(header, boundaries.end()) << "section " << section << " has no header";
        if (above.empty() || header == boundaries.end()) return gaps;
        gaps.push_back(header->frame.minY() - above.back().maxY());
    }
    return gaps;
}

SettingsScreenTest::SettingsScreenTest() {
    emptyFolder(documentsFolder());
    emptyFolder(cachesFolder());
    std::filesystem::remove(
        foundation::Container::current()->folder(foundation::SearchPathDirectory::applicationSupport) /
        ProgressClient::kFileName);
    resetSettings();
    ui::Screen::main()->setPotentialEDRHeadroom(1.0);
    progressClient = ProgressClient::create();
    videoManager = VideoManager::create(documentsClient, progressClient);
    videoManager->setDelegate(managerDelegate);
    registerSettingsStoryboard();
    scene = ui::WindowScene::create(ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "settings"));
    window = ui::Window::create(scene);
    navigation = ui::NavigationController::create(ui::ViewController::create());
    window->setRootViewController(navigation);
    window->makeKeyAndVisible();
}

SettingsScreenTest::~SettingsScreenTest() {
    drainWork();
    drainManager();
    ui::Screen::main()->setPotentialEDRHeadroom(1.0);
    ui::Application::shared().reset();
}

std::shared_ptr<SettingsTableViewController> SettingsScreenTest::openSettings() {
    auto settings = ui::Storyboard::named("Settings")->instantiate<SettingsTableViewController>("settings");
    settings->setProgressClient(progressClient);
    settings->setVideoManager(videoManager);
    navigation->pushViewController(settings, false);
    settings->tableView()->reloadData();
    settle();
    return settings;
}

void SettingsScreenTest::drainWork() {
    workQueue->sync([] {});
    loop.runUntilIdle();
}

void SettingsScreenTest::drainManager() {
    videoManager->videoManagerQueue()->sync([] {});
    videoManager->waitForMetadataJobs();
    videoManager->videoManagerQueue()->sync([] {});
    loop.runUntilIdle();
}

void SettingsScreenTest::resizeWindow(double width, double height, ui::InterfaceOrientation orientation) {
    scene->setInterfaceOrientation(orientation);
    window->transitionToSize({width, height}, 0);
    settle();
}

void SettingsScreenTest::settle() {
    loop.advanceSeconds(1);
    window->layoutIfNeeded();
    loop.runUntilIdle();
}

}  // namespace reelhaven::settings_testing
