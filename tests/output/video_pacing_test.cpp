// The renderer's frames paced to a real window (Xvfb and Mesa in the display stage): real libmpv
// playing a clip through the renderer into the GL view the display host composites.
#include <gtest/gtest.h>
#include <mpv/client.h>

#include <chrono>
#include <optional>
#include <thread>

#include "core/preferences.h"
#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/display/display_host.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/views/window.h"
#include "support/display_stage.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

class VideoPacing : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        loop = mainLoop.emplace().loop();
        // The window first: the renderer's context, made afterwards, shares it.
        auto opened = display::DisplayHost::open({"pacing test", ui::Size{320, 180}, false, 0.05});
        ASSERT_TRUE(opened) << opened.error().description;
        host = std::move(opened.value());
        const ui::Rect bounds(0, 0, 320, 180);
        window = ui::Window::create(bounds);
        view = MPVGLKView::create(bounds);
        auto metal = MetalHDRView::create(bounds);
        metal->setHidden(true);
        auto pictureInPicture = PictureInPictureView::create(bounds);
        pictureInPicture->setAlpha(0);
        auto nowPlaying = NowPlayingView::create(bounds);
        nowPlaying->setHidden(true);
        for (const std::shared_ptr<ui::View>& each :
             std::initializer_list<std::shared_ptr<ui::View>>{view, metal, pictureInPicture, nowPlaying})
            window->addSubview(each);
        window->makeKeyAndVisible();
        host->show(window);
        auto preferences = Preferences::create(foundation::UserDefaults::create(dir / "d.json"));
        preferences->continueAudioBackground.setWrappedValue(false);
        renderer = VideoRenderer::create(view, metal, pictureInPicture, nowPlaying, nullptr, preferences);

        mpv = mpv_create();
        ASSERT_TRUE(mpv);
        for (auto [name, value] :
             {std::pair{"vo", "libmpv"}, {"ao", "null"}, {"hwdec", "no"}, {"osd-level", "0"}, {"loop-file", "inf"}})
            mpv_set_option_string(mpv, name, value);
        ASSERT_EQ(mpv_initialize(mpv), 0);
        renderer->start(mpv);
        const auto clip = testing_support::testMedia("wide.mp4").string();
        const char* load[] = {"loadfile", clip.c_str(), nullptr};
        ASSERT_EQ(mpv_command(mpv, load), 0);
    }
    void TearDown() override {
        if (renderer) renderer->renderContextReleaser()();
        if (mpv) mpv_terminate_destroy(mpv);
        renderer.reset();
        host.reset();
        window.reset();
        mainLoop.reset();
    }

    // Serves the window (its real loop: events, paced composites) until `done`, 30 s at most.
    bool serveUntil(const std::function<bool()>& done) {
        return testing_support::serveWindowUntil(*loop, *host, done, std::chrono::seconds(30));
    }
    // Frames the window took from the view (each one a swap) and frames the renderer drew.
    std::uint64_t handedOver() const { return view->presentedFrame().serial; }
    std::int64_t mpvDrops() {
        std::int64_t drops = 0;
        mpv_get_property(mpv, "frame-drop-count", MPV_FORMAT_INT64, &drops);
        return drops;
    }

    testing_support::TempDir dir;
    std::optional<testing_support::RealMainLoop> mainLoop;
    std::shared_ptr<dispatch::RunLoop> loop;
    std::unique_ptr<display::DisplayHost> host;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<MPVGLKView> view;
    std::shared_ptr<VideoRenderer> renderer;
    mpv_handle* mpv = nullptr;
};

TEST_F(VideoPacing, EveryFrameDrawnForTheWindowIsShownBeforeTheNextIsDrawn) {
    ASSERT_TRUE(serveUntil([&] { return handedOver() >= 20; }));
    const auto statistics = host->statistics();
    EXPECT_EQ(statistics.droppedFrames, 0u) << "a frame was drawn over one the window never showed";
    // The newest may still be on its way to the screen.
    EXPECT_GE(statistics.videoFrames + 1, handedOver());
}

TEST_F(VideoPacing, AWindowThatShowsNothingGetsNoFramesAndMpvCountsTheOnesItDrops) {
    ASSERT_TRUE(serveUntil([&] { return handedOver() >= 3; }));
    // The window stops swapping (its loop is not served): the renderer holds the due frames back
    // and mpv, waiting for the swap, drops them itself.
    const auto drawn = view->framesDisplayed();
    const auto drops = mpvDrops();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (mpvDrops() < drops + 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_GE(mpvDrops(), drops + 2);
    // The one the window may have swapped just before it stopped is drawn; no other.
    EXPECT_LE(view->framesDisplayed(), drawn + 1);
    // Swapping again, frames flow again.
    const auto before = handedOver();
    EXPECT_TRUE(serveUntil([&] { return handedOver() >= before + 3; }));
}

TEST_F(VideoPacing, NothingIsDrawnWhilePaused) {
    ASSERT_TRUE(serveUntil([&] { return handedOver() >= 3; }));
    int yes = 1;
    ASSERT_EQ(mpv_set_property(mpv, "pause", MPV_FORMAT_FLAG, &yes), 0);
    // Frames already due when the pause came in are shown first.
    auto windowFrame = [&] {
        VideoRenderer::renderQueue()->sync([] {});
        loop->runUntilIdle();
        host->capture();
    };
    std::uint64_t drawn = view->framesDisplayed();
    for (int stable = 0, round = 0; stable < 3 && round < 200; ++round) {
        windowFrame();
        const auto now = view->framesDisplayed();
        stable = now == drawn ? stable + 1 : 0;
        drawn = now;
    }
    for (int i = 0; i < 20; ++i) windowFrame();
    // mpv may still ask for one redraw, late on a busy machine (a frame it dropped just before the
    // pause is shown after all); a renderer drawing at the window's swaps would draw twenty.
    EXPECT_LE(view->framesDisplayed(), drawn + 1);
}

}  // namespace
}  // namespace reelhaven
