#pragma once

#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "core/preferences.h"
#include "core/progress_client.h"
#include "output/video_renderer.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/sleep.h"
#include "platform/dispatch/timer.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/media/remote_command_center.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/media_center_service.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_storyboard.h"
#include "playback/reelhaven_view_controller.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven::playback_test {

// Holds a queue from the moment it is made until `release` (at the latest until it goes), so a
// test can look at the player while mpv's events wait behind it.
class QueueHold {
public:
    explicit QueueHold(const std::shared_ptr<dispatch::WorkQueue>& queue) {
        queue->async([released = m_released.get_future().share()] { released.wait(); });
    }
    ~QueueHold() { release(); }
    QueueHold(const QueueHold&) = delete;
    QueueHold& operator=(const QueueHold&) = delete;
    void release() {
        if (!std::exchange(m_done, true)) m_released.set_value();
    }

private:
    std::promise<void> m_released;
    bool m_done = false;
};

// The player screen as the library presents it: made from the storyboard "Reelhaven" with a
// creator, presented without animation over an empty root screen in a 640x360 window of a
// foreground scene. mpv plays with software decoding and the null audio output; the main run loop
// runs on the manual clock, and the test serves it while it waits for mpv's events.
class PlayerScreenTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop mainLoop;
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::shared_ptr<Preferences> preferences = Preferences::create(foundation::UserDefaults::create(dir / "d.json"));
    std::shared_ptr<ProgressClient> progressClient = ProgressClient::create();
    ui::Size screenSize{640, 360};  // a subclass may change it before SetUp
    std::shared_ptr<ui::Screen> screen;
    std::shared_ptr<ui::WindowScene> scene;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::ViewController> root = ui::ViewController::create();
    std::shared_ptr<MediaCenterService> mediaCenter = MediaCenterService::create();
    std::shared_ptr<ReelhavenViewController> player;

    void SetUp() override {
        screen = ui::Screen::create({0, 0, screenSize.width, screenSize.height}, 1.0);
        scene =
            ui::WindowScene::create(ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "test"), screen);
        scene->setActivationState(ui::SceneActivationState::foregroundActive);
        window = ui::Window::create(scene);
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        registerReelhavenStoryboard();
        dispatch::clearRecordedSleeps();
    }

    void TearDown() override {
        if (player) {
            if (player->mpv()) player->close(false);
            flush();
            mainLoop.runUntilIdle();
            // The saves the player started write into this test's container, and must not still
            // run when it is removed or the process exits.
            player->waitForProgressSaves();
            // mpv's last events (a video track turned off and on just before the close) leave
            // blocks on the command queue that hold the session. Were one of them the last to let
            // it go, its queue's thread would end detached and outlive the test; so the session
            // goes here, on the main thread, once its queue has nothing left.
            std::shared_ptr<MPVSession> session = player->session();
            player.reset();
            if (session) {
                session->commandQueue()->sync([] {});
                mainLoop.runUntilIdle();
                session->commandQueue()->sync([] {});
                session.reset();
            }
            VideoRenderer::renderQueue()->sync([] {});
        }
        media::RemoteCommandCenter::shared().reset();
    }

    VideoPtr clip(const std::string& name, bool securityScoped = true) {
        return Video::create(foundation::URL::fileURLWithPath(testing_support::testMedia(name).string()),
                             LibraryItemType::file, securityScoped);
    }
    PlaybackInfoPtr info(const VideoPtr& video) {
        return PlaybackInfo::create(progressClient, nullptr, video, false, true, std::nullopt);
    }

    // Makes the player through the storyboard's creator and presents it; `serve`: then runs what
    // the main loop has (false: returns as soon as the view loaded and the file load is queued).
    void open(const PlaybackInfoPtr& first, bool serve = true) {
        auto storyboard = ui::Storyboard::named(ReelhavenViewController::kStoryboardName);
        auto made = storyboard->instantiateViewController(
            ReelhavenViewController::kStoryboardIdentifier,
            [&](const ui::Coder& coder) { return ReelhavenViewController::create(coder, first, mediaCenter); });
        player = std::dynamic_pointer_cast<ReelhavenViewController>(made);
        ASSERT_TRUE(player);
        player->setSessionOptions({"no", "null", preferences, nullptr, screen});
        root->present(player, false);
        if (serve) mainLoop.runUntilIdle();
    }
    void openLoaded(const std::string& name) {
        open(info(clip(name)));
        ASSERT_TRUE(waitForLoad()) << "the file did not load";
    }
    // Opens `video` and pauses it at `seconds` as a user would (the space bar, then a seek), and
    // returns once mpv has stopped there and the player's clock rests.
    void openPausedAt(const VideoPtr& video, double seconds) {
        open(info(video));
        ASSERT_TRUE(waitForLoad()) << "the file did not load";
        // The load's own playback restart first: one read after the seek was handed to mpv would
        // count for the seek too.
        ASSERT_TRUE(waitFor([&] { return !player->session()->seekInFlight(); }));
        press(ui::Key::spacebar);
        player->seekTo(seconds);
        ASSERT_TRUE(waitFor([&] {
            return property("time-pos").value_or("") == MPVSession::decimal(seconds) + ".000000";
        })) << "the seek to "
            << seconds << " did not land";
        ASSERT_TRUE(waitFor([&] { return !clockRuns(); })) << "the clock did not rest";
        ASSERT_DOUBLE_EQ(player->playbackInfo()->progress(), seconds);
    }
    // Whether the player's 0.2 s clock is running (not resting or stopped).
    bool clockRuns() const {
        const auto& timer = player->syncPlayTimeTimer();
        return timer && timer->isValid();
    }
    // A key pressed on the keyboard, delivered to the player as the responder chain does.
    void press(int keyCode, std::uint32_t modifiers = ui::Key::none) {
        ui::Press press;
        press.key.keyCode = keyCode;
        press.key.modifierFlags = modifiers;
        player->pressesBegan({press});
    }

    // Serves the main loop until `condition` holds; generous, as CI machines are busy.
    bool waitFor(const std::function<bool()>& condition) {
        return mainLoop.runUntil(
            [&] {
                if (serveWhileWaiting) serveWhileWaiting();
                return condition();
            },
            std::chrono::seconds(60));
    }
    // Called at each look while waiting (a window to serve); none by default.
    std::function<void()> serveWhileWaiting;
    // The player closed itself: its dismissal, animated on the manual clock, is over.
    bool waitForDismissal() {
        if (!waitFor([&] { return player->isBeingDismissed() || !root->presentedViewController(); })) return false;
        mainLoop.advanceSeconds(ui::ViewController::transitionDuration);
        return root->presentedViewController() == nullptr;
    }
    // Presents with the animation run to its end.
    void settle() { mainLoop.advanceSeconds(ui::ViewController::transitionDuration); }
    bool waitForLoad() {
        return waitFor([&] {
            auto current = player->playbackInfo();
            return player->session()->hasLoaded(*current) && current->duration().has_value();
        });
    }
    // Everything queued on the command queue has run.
    void flush() {
        if (player && player->session()) player->session()->commandQueue()->sync([] {});
    }
    // On the command queue, after everything queued before: the property as mpv reports it.
    std::optional<std::string> property(const char* name) {
        return player->session()->commandQueue()->syncValue([&] { return player->session()->stringProperty(name); });
    }
    // A saved position the record restores (the duration is the one the clip is known by).
    void saveProgressFor(const Video& video, double progress) {
        progressClient->progressRecords().mutate([&](ProgressClient::Records& records) {
            VideoProgress record;
            record.progress = VideoTime{progress};
            record.duration = VideoTime{100};
            records[ProgressClient::progressKey(video.url())] = record;
        });
    }
    std::optional<VideoProgress> savedProgress(const Video& video) {
        auto records = progressClient->progressRecords().value();
        auto found = records.find(ProgressClient::progressKey(video.url()));
        if (found == records.end()) return std::nullopt;
        return found->second;
    }
};

}  // namespace reelhaven::playback_test
