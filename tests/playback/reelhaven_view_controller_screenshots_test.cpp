#include <algorithm>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/documents_client.h"
#include "output/mpv_glk_view.h"
#include "platform/foundation/notification_center.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/scenes/photo_library.h"
#include "playback/player_screen_fixture.h"

namespace reelhaven::playback_test {
namespace {

// Screenshots through the real mpv handle into the Caches "Screenshots" folder, then into the
// photo library, which writes each picture as a PNG under the container's "Pictures".
class PlayerScreenshotTest : public PlayerScreenTest {
protected:
    std::filesystem::path shots;
    int succeeded = 0;
    int failed = 0;
    int restarts = 0;
    std::vector<foundation::NotificationCenter::Token> observers;

    void SetUp() override {
        PlayerScreenTest::SetUp();
        ui::PhotoLibrary::shared().reset();
        shots = DocumentsClient::create(preferences)->screenshotsURL().path();
        auto& center = foundation::NotificationCenter::defaultCenter();
        observers.push_back(center.addObserver(ReelhavenViewController::kScreenshotSucceeded, nullptr,
                                               [this](const foundation::Notification&) { ++succeeded; }));
        observers.push_back(center.addObserver(ReelhavenViewController::kScreenshotFailed, nullptr,
                                               [this](const foundation::Notification&) { ++failed; }));
        observers.push_back(center.addObserver(MPVSession::kPlaybackRestartNotification, nullptr,
                                               [this](const foundation::Notification&) { ++restarts; }));
    }
    void TearDown() override {
        for (auto token : observers) foundation::NotificationCenter::defaultCenter().removeObserver(token);
        ui::PhotoLibrary::shared().reset();
        PlayerScreenTest::TearDown();
    }

    // Loaded, paused, and shown: mpv takes a shot only of a frame its video output has, which it
    // has once playback started (the view draws black before that, so its frames do not tell).
    void openShowing(const std::string& name) {
        openLoaded(name);
        player->setPaused(true, true);
        ASSERT_TRUE(waitFor([&] { return restarts > 0 && player->glkView()->framesDisplayed() > 0; }));
    }
    std::vector<std::string> filesIn(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Both of a quick pair of shots handed over, before the main queue could answer either.
    bool waitForPendingSaves(std::size_t count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (player->pendingScreenshotSaves() < count) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            flush();
            std::this_thread::yield();
        }
        return true;
    }
};

TEST_F(PlayerScreenshotTest, AShotIsSavedToThePhotoLibraryAndLeavesTheCacheFolder) {
    openShowing("long.mp4");
    player->takeScreenshot(false);
    ASSERT_TRUE(waitFor([&] { return succeeded + failed >= 1; }));
    EXPECT_EQ(succeeded, 1);
    EXPECT_EQ(failed, 0);
    EXPECT_TRUE(filesIn(shots).empty());
    auto saved = ui::PhotoLibrary::shared().savedFiles();
    ASSERT_EQ(saved.size(), 1u);
    auto image = ui::PhotoLibrary::shared().savedImages().front()->cgImage();
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 160);  // the video's own size, not the view's
    EXPECT_TRUE(std::filesystem::file_size(saved.front()) > 0);
    EXPECT_EQ(player->pendingScreenshotSaves(), 0u);
}

TEST_F(PlayerScreenshotTest, ARefusedSaveKeepsItsFileForTheNextShotAndOtherFilesStay) {
    openShowing("long.mp4");
    testing_support::writeFile(shots / "shot.jpg", "not a png");
    ui::PhotoLibrary::shared().setAccessAllowed(false);
    player->takeScreenshot(true);
    ASSERT_TRUE(waitFor([&] { return failed >= 1; }));
    mainLoop.runUntilIdle();
    EXPECT_EQ(failed, 1);  // one per refused file, none more for the reply
    EXPECT_EQ(succeeded, 0);
    ASSERT_EQ(filesIn(shots).size(), 2u);

    ui::PhotoLibrary::shared().setAccessAllowed(true);
    player->takeScreenshot(false);
    ASSERT_TRUE(waitFor([&] { return succeeded >= 2; }));
    mainLoop.runUntilIdle();
    EXPECT_EQ(succeeded, 2);
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(filesIn(shots), std::vector<std::string>{"shot.jpg"});
    EXPECT_EQ(ui::PhotoLibrary::shared().savedFiles().size(), 2u);
}

TEST_F(PlayerScreenshotTest, AQuickSecondShotDoesNotHandTheFirstFileOverAgain) {
    openShowing("long.mp4");
    player->takeScreenshot(false);
    ASSERT_TRUE(waitForPendingSaves(1));
    player->takeScreenshot(false);
    ASSERT_TRUE(waitForPendingSaves(2));
    ASSERT_TRUE(waitFor([&] { return succeeded >= 2; }));
    mainLoop.runUntilIdle();
    EXPECT_EQ(succeeded, 2);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(ui::PhotoLibrary::shared().savedFiles().size(), 2u);
    EXPECT_TRUE(filesIn(shots).empty());
}

TEST_F(PlayerScreenshotTest, AShotMpvCannotTakeReportsOneFailure) {
    openLoaded("audio.m4a");  // no video output: mpv answers the command with an error
    player->takeScreenshot(false);
    ASSERT_TRUE(waitFor([&] { return failed >= 1; }));
    mainLoop.runUntilIdle();
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(succeeded, 0);
    EXPECT_TRUE(ui::PhotoLibrary::shared().savedFiles().empty());
}

}  // namespace
}  // namespace reelhaven::playback_test
