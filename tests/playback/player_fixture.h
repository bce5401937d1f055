#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/preferences.h"
#include "core/progress_client.h"
#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/container.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/mpv_session.h"
#include "playback/player_output.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven::playback_test {

// The player's mpv session and renderer wired as the player screen wires them, drawing into a
// 320x180 OpenGL view at scale 1 (its screen's headroom `edrHeadroom`), audio to mpv's null output, software decoding.
// Events reach the test through the main run loop, which the test serves while it waits.
class PlayerTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop mainLoop;
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::shared_ptr<Preferences> preferences = Preferences::create(foundation::UserDefaults::create(dir / "d.json"));
    std::shared_ptr<ProgressClient> progressClient = ProgressClient::create();
    double edrHeadroom = 1.0;
    std::shared_ptr<ui::Screen> screen;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<MPVGLKView> view;
    std::shared_ptr<VideoRenderer> renderer;
    std::shared_ptr<MetalHDRView> metalView;
    std::shared_ptr<PictureInPictureView> pictureInPictureView;
    std::shared_ptr<NowPlayingView> nowPlayingView;
    std::shared_ptr<media::PictureInPictureController> pictureInPictureController;
    std::shared_ptr<MPVSession> session;

    // What the session reported, in order.
    std::vector<PlaybackInfoPtr> loaded;
    std::optional<std::pair<EndFileAction, EndFileEvent>> ended;
    int restarts = 0;
    std::uint64_t framesAtRestart = 0;
    std::optional<std::optional<HDRMetadata>> hdr;
    // Given to the renderer before it starts, as the player gives itself.
    std::shared_ptr<VideoControlDelegate> controlDelegate;
    // mpv's audio output, and what runs once the handle is set up, before the first load.
    std::string audioOutput = "null";
    std::function<void()> beforeLoad;

    void TearDown() override { close(); }

    VideoPtr clip(const std::string& name, bool securityScoped = true) {
        return Video::create(foundation::URL::fileURLWithPath(testing_support::testMedia(name).string()),
                             LibraryItemType::file, securityScoped);
    }
    PlaybackInfoPtr info(const VideoPtr& video, bool restored = false) {
        return PlaybackInfo::create(progressClient, nullptr, video, restored, true, std::nullopt);
    }
    void saveProgress(const Video& video, double progress, VideoProgress::Choices choices = {}) {
        progressClient->progressRecords().mutate([&](ProgressClient::Records& records) {
            VideoProgress record;
            record.progress = VideoTime{progress};
            record.duration = VideoTime{100};
            record.setChoices(choices);
            records[ProgressClient::progressKey(video.url())] = record;
        });
    }

    void open(const PlaybackInfoPtr& first) {
        auto output = PlayerOutput::create({320, 180}, 1.0, first, preferences);
        screen = output.screen;
        window = output.window;
        screen->setPotentialEDRHeadroom(edrHeadroom);
        view = output.view;
        metalView = output.metalView;
        pictureInPictureView = output.pictureInPictureView;
        nowPlayingView = output.nowPlayingView;
        renderer = output.renderer;
        view->setKeepsLastFrame(true);
        // Each frame wakes the main loop so a waiting test looks at it at once.
        view->onFrameDisplayed = [](const gfx::Image&) { dispatch::Queue::main()->async([] {}); };
        session = MPVSession::create(first, {"no", audioOutput, preferences, nullptr, screen});
        session->onFileLoaded = [this](const PlaybackInfoPtr& info) { loaded.push_back(info); };
        session->onEndFile = [this](EndFileAction action, EndFileEvent event) { ended.emplace(action, event); };
        session->onPlaybackRestart = [this] {
            ++restarts;
            framesAtRestart = view->framesDisplayed();
        };
        session->onHDRMetadata = [this](std::optional<HDRMetadata> metadata) {
            hdr.emplace(metadata);
            if (renderer) renderer->setHDRMetadata(metadata);  // gone in tests that drop it first
        };
        renderer->controlDelegate = controlDelegate;
        output.attach(session);
        pictureInPictureController = output.pictureInPictureController;
        if (beforeLoad) beforeLoad();
        session->startPlayback(first);
    }
    void close() {
        if (session) session->teardown();
        session.reset();
        pictureInPictureController.reset();
        renderer.reset();
        // A render that began before the teardown may still hold the renderer; let it finish
        // before the test's objects (and, at the end, the process's) go.
        VideoRenderer::renderQueue()->sync([] {});
    }

    // Serves the main loop until `condition` holds; generous, as CI machines are busy.
    bool waitFor(const std::function<bool()>& condition) {
        return mainLoop.runUntil(condition, std::chrono::seconds(60));
    }
    bool waitForLoad(std::size_t count = 1) {
        return waitFor([&] { return loaded.size() >= count; });
    }
    // A frame drawn after the latest playback restart: the picture at the start position.
    gfx::Image frameAfterRestart() {
        bool drawn = waitFor([&] { return restarts > 0 && view->framesDisplayed() > framesAtRestart; });
        EXPECT_TRUE(drawn) << "no frame after playback restart";
        return view->lastFrame();
    }
    // On the command queue, after everything queued before: the property as mpv reports it.
    std::optional<std::string> property(const char* name) {
        return session->commandQueue()->syncValue([&] { return session->stringProperty(name); });
    }
};

}  // namespace reelhaven::playback_test
