#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/documents_client.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/graphics/image.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven::video_manager_test {

// Records what a manager tells its screen; safe from any thread.
class RecordingDelegate : public VideoManagerDelegate {
public:
    void libraryDidChange() override {
        std::lock_guard lock(m_mutex);
        ++m_libraryChanges;
    }
    void initialLoadDidFinish() override {
        std::lock_guard lock(m_mutex);
        ++m_initialLoads;
    }
    void foldersDidChange(const std::vector<FolderPtr>& folders) override {
        std::lock_guard lock(m_mutex);
        for (const auto& folder : folders) m_changedFolders.push_back(folder->displayName());
    }

    int libraryChanges() const {
        std::lock_guard lock(m_mutex);
        return m_libraryChanges;
    }
    int initialLoads() const {
        std::lock_guard lock(m_mutex);
        return m_initialLoads;
    }
    std::vector<std::string> changedFolders() const {
        std::lock_guard lock(m_mutex);
        return m_changedFolders;
    }
    void reset() {
        std::lock_guard lock(m_mutex);
        m_libraryChanges = 0;
        m_initialLoads = 0;
        m_changedFolders.clear();
    }

private:
    mutable std::mutex m_mutex;
    int m_libraryChanges = 0;
    int m_initialLoads = 0;
    std::vector<std::string> m_changedFolders;
};

// Blocks a queue until opened: work scheduled meanwhile waits, so a test can act in between
// (requests meet a job that has not run yet; files change before a pass runs).
class QueueGate {
public:
    explicit QueueGate(const std::shared_ptr<dispatch::Queue>& queue) {
        // The blocked block shares the state, so it may wake after the gate is gone.
        queue->asyncBarrier([state = m_state] {
            std::unique_lock lock(state->mutex);
            state->opened.wait(lock, [&] { return state->open; });
        });
    }
    ~QueueGate() { open(); }
    QueueGate(const QueueGate&) = delete;
    QueueGate& operator=(const QueueGate&) = delete;

    void open() {
        std::lock_guard lock(m_state->mutex);
        m_state->open = true;
        m_state->opened.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable opened;
        bool open = false;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// A manager over a fresh container in a temporary folder, with a recording delegate.
class VideoManagerTest : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::filesystem::path documents = container.container().folder(foundation::SearchPathDirectory::documents);
    std::filesystem::path caches = container.container().folder(foundation::SearchPathDirectory::caches);
    std::shared_ptr<Preferences> preferences = Preferences::create(foundation::UserDefaults::create(dir / "d.json"));
    std::shared_ptr<DocumentsClient> documentsClient = DocumentsClient::create(preferences);
    std::shared_ptr<ProgressClient> progressClient = ProgressClient::create();
    std::shared_ptr<VideoManager> manager = VideoManager::create(documentsClient, progressClient);
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();

    void SetUp() override { manager->setDelegate(delegate); }

    static foundation::URL urlOf(const std::filesystem::path& path) {
        return foundation::URL::fileURLWithPath(path.string());
    }
    void makeFile(const std::filesystem::path& relative, std::string_view bytes = "x") {
        testing_support::writeFile(documents / relative, bytes);
    }
    void makeFolder(const std::filesystem::path& relative) {
        std::filesystem::create_directories(documents / relative);
    }
    void copyClip(const std::string& clip, const std::filesystem::path& relative) {
        std::filesystem::create_directories((documents / relative).parent_path());
        std::filesystem::copy_file(testing_support::testMedia(clip), documents / relative);
    }

    std::vector<LibraryItemPtr> listing(const std::filesystem::path& folder) {
        return documentsClient->contents(urlOf(folder), false);
    }
    // Lists Documents into the manager, as the scene does at start.
    void listDocuments(VideoManager& target) { target.update(listing(documents)); }
    void listDocuments() { listDocuments(*manager); }

    // Waits for everything the manager scheduled. Work schedules more work (a reload schedules
    // a pass, which starts jobs), so the queue and the jobs are drained in turn as deep as those
    // chains go.
    static void flush(VideoManager& target) {
        for (int round = 0; round < 3; ++round) {
            target.videoManagerQueue()->sync([] {});
            target.waitForMetadataJobs();
        }
    }
    void flush() { flush(*manager); }

    static std::vector<std::string> names(const std::vector<LibraryItemPtr>& items) {
        std::vector<std::string> result;
        for (const auto& item : items) result.push_back(item->displayName());
        return result;
    }
    std::vector<std::string> libraryNames() const { return names(manager->library()); }

    LibraryItemPtr item(const std::string& displayName) const {
        for (const auto& entry : manager->library())
            if (entry->displayName() == displayName) return entry;
        return nullptr;
    }
    VideoPtr video(const std::string& displayName) const { return std::dynamic_pointer_cast<Video>(item(displayName)); }
    int position(const std::string& displayName) const {
        const auto library = manager->library();
        for (std::size_t i = 0; i < library.size(); ++i)
            if (library[i]->displayName() == displayName) return static_cast<int>(i);
        return -1;
    }

    static std::vector<std::string> subtitleNames(const Video& video) {
        std::vector<std::string> result;
        if (auto subtitles = video.externalSubtitles())
            for (const auto& subtitle : *subtitles) result.push_back(subtitle->displayName());
        return result;
    }

    static std::uint64_t allocatedBytes(const std::filesystem::path& path) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) return 0;
        return static_cast<std::uint64_t>(info.st_blocks) * 512;
    }

    bool exists(const std::filesystem::path& relative) const { return std::filesystem::exists(documents / relative); }
};

}  // namespace reelhaven::video_manager_test
