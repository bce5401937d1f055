#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/documents_client.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "core/video_manager.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven::library_testing {

// A fresh container with the library's services over it, and the main run loop on a manual
// clock. Files are real: clips come from the generated test media.
class LibraryTest : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    dispatch::ScopedMainRunLoop loop;
    std::filesystem::path documents = container.container().folder(foundation::SearchPathDirectory::documents);
    std::shared_ptr<Preferences> preferences = Preferences::create(foundation::UserDefaults::create(dir / "d.json"));
    std::shared_ptr<DocumentsClient> documentsClient = DocumentsClient::create(preferences);
    std::shared_ptr<ProgressClient> progressClient = ProgressClient::create();
    std::shared_ptr<VideoManager> manager = VideoManager::create(documentsClient, progressClient);

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
    bool exists(const std::filesystem::path& relative) const { return std::filesystem::exists(documents / relative); }

    // Lists Documents into the manager, as the scene does at start.
    void listDocuments() { manager->update(documentsClient->contents(urlOf(documents), false)); }

    // Waits for what the manager scheduled (work schedules more work), then runs what its
    // answers queued on the main loop and lets transitions on the manual clock finish, until
    // nothing is left.
    void settle(VideoManager& target) {
        for (int round = 0; round < 4; ++round) {
            target.videoManagerQueue()->sync([] {});
            target.waitForMetadataJobs();
            loop.runUntilIdle();
            loop.advanceSeconds(0.5);
        }
    }
    void settle() { settle(*manager); }

    LibraryItemPtr item(const std::string& displayName) const {
        for (const auto& entry : manager->library())
            if (entry->displayName() == displayName) return entry;
        return nullptr;
    }
    VideoPtr video(const std::string& displayName) const { return std::dynamic_pointer_cast<Video>(item(displayName)); }
    FolderPtr folder(const std::string& displayName) const {
        return std::dynamic_pointer_cast<Folder>(item(displayName));
    }
};

}  // namespace reelhaven::library_testing
