// The renderer's redraws, surfaceless: real libmpv playing a clip through the renderer into the
// GL view, with no window. mpv draws the frame it showed last again (after a seek, after a change
// of a property that shapes the picture, when the app asks); only a redraw that changes the
// pixels is shown. The tests cause the redraws they count: mpv's own after a seek comes late or
// not at all on a busy machine.
#include <gtest/gtest.h>
#include <mpv/client.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "core/preferences.h"
#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/user_defaults.h"
#include "platform/ui/views/window.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

class VideoRedraw : public ::testing::Test {
protected:
    void SetUp() override {
        const ui::Rect bounds(0, 0, 320, 180);
        window = ui::Window::create(bounds);
        view = MPVGLKView::create(bounds);
        auto metal = MetalHDRView::create(bounds);
        auto pictureInPicture = PictureInPictureView::create(bounds);
        auto nowPlaying = NowPlayingView::create(bounds);
        for (const std::shared_ptr<ui::View>& each :
             std::initializer_list<std::shared_ptr<ui::View>>{view, metal, pictureInPicture, nowPlaying})
            window->addSubview(each);
        view->setKeepsLastFrame(true);
        auto preferences = Preferences::create(foundation::UserDefaults::create(dir / "d.json"));
        preferences->continueAudioBackground.setWrappedValue(false);
        renderer = VideoRenderer::create(view, metal, pictureInPicture, nowPlaying, nullptr, preferences);

        mpv = mpv_create();
        ASSERT_TRUE(mpv);
        for (auto [name, value] : {std::pair{"vo", "libmpv"}, {"ao", "null"}, {"hwdec", "no"}, {"pause", "yes"}})
            mpv_set_option_string(mpv, name, value);
        ASSERT_EQ(mpv_initialize(mpv), 0);
        renderer->start(mpv);
        const auto clip = testing_support::testMedia("wide.mp4").string();
        const char* load[] = {"loadfile", clip.c_str(), nullptr};
        ASSERT_EQ(mpv_command(mpv, load), 0);
        ASSERT_TRUE(restarted()) << "the paused clip opens";
        ASSERT_TRUE(waitUntil([&] { return displayed() >= 1; })) << "and shows its first frame";
        // A seek not counted: whatever the opening still draws is over once its redraw came.
        seekShowingOnePicture("1.5");
    }
    void TearDown() override {
        if (renderer) renderer->renderContextReleaser()();
        if (mpv) mpv_terminate_destroy(mpv);
        renderer.reset();
    }

    // mpv works on its own threads in real time: polls until `done`, 60 s at most (a sanitizer
    // build on a busy machine).
    static bool waitUntil(const std::function<bool()>& done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            VideoRenderer::renderQueue()->sync([] {});
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return done();
    }
    // Until mpv says playback (re)started after an opening or a seek, 60 s at most.
    bool restarted() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline)
            if (mpv_wait_event(mpv, 0.1)->event_id == MPV_EVENT_PLAYBACK_RESTART) return true;
        return false;
    }
    std::uint64_t displayed() const { return view->framesDisplayed(); }
    std::uint64_t rendered() const { return renderer->framesRendered(); }

    // Seeks exactly to `target` and waits for its frame, then has mpv draw that frame again.
    void seekShowingOnePicture(const char* target) {
        const auto before = displayed();
        const char* seek[] = {"seek", target, "absolute+exact", nullptr};
        ASSERT_EQ(mpv_command(mpv, seek), 0);
        ASSERT_TRUE(restarted());
        ASSERT_TRUE(waitUntil([&] { return displayed() > before; })) << "the seek to " << target << " is shown";
        const auto renderedWithIt = rendered();
        redrawTheSamePicture();
        ASSERT_TRUE(waitUntil([&] { return rendered() > renderedWithIt; })) << "mpv draws the seek's frame again";
    }
    // Has mpv draw the frame it shows once more, through the renderer: nothing in the picture
    // changes, and the draw comes at once however busy mpv's own threads are.
    void redrawTheSamePicture() { renderer->redraw(); }

    testing_support::TempDir dir;
    dispatch::ScopedMainRunLoop mainLoop;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<MPVGLKView> view;
    std::shared_ptr<VideoRenderer> renderer;
    mpv_handle* mpv = nullptr;
};

TEST_F(VideoRedraw, EachSeekShowsItsPictureOnceThoughMpvDrawsItAgain) {
    for (const char* target : {"2.5", "0.7", "3.1"}) {
        const auto before = displayed();
        const auto picture = view->lastFrame();
        seekShowingOnePicture(target);
        EXPECT_EQ(displayed(), before + 1) << "seek to " << target;
        EXPECT_NE(view->lastFrame(), picture) << "the seek to " << target << " shows its own picture";
    }
}

TEST_F(VideoRedraw, ARedrawThatChangesThePictureIsShown) {
    const auto before = displayed();
    const auto picture = view->lastFrame();
    std::int64_t brightness = 60;
    ASSERT_EQ(mpv_set_property(mpv, "brightness", MPV_FORMAT_INT64, &brightness), 0);
    ASSERT_TRUE(waitUntil([&] { return displayed() > before; }));
    EXPECT_NE(view->lastFrame(), picture);
}

TEST_F(VideoRedraw, TheAppsRedrawOfAnUnchangedPictureShowsNothing) {
    const auto before = displayed();
    const auto renderedBefore = rendered();
    renderer->redraw();
    ASSERT_TRUE(waitUntil([&] { return rendered() > renderedBefore; }));
    EXPECT_EQ(displayed(), before);
}

}  // namespace
}  // namespace reelhaven
