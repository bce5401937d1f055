// The player in a real window (the display stage's Xvfb or Weston, Mesa's software GL) on the
// manual clock: what a paused player leaves the window to do.
#include <optional>

#include "output/mpv_glk_view.h"
#include "platform/display/display_host.h"
#include "playback/player_screen_fixture.h"
#include "support/display_stage.h"

namespace reelhaven::playback_test {
namespace {

class DisplayHostPausedPlayer : public PlayerScreenTest {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        PlayerScreenTest::SetUp();
        // Before the player: its renderer's context then shares the window's.
        auto opened = display::DisplayHost::open({"paused player", screenSize, false, 0.05});
        ASSERT_TRUE(opened) << opened.error().description;
        host = std::move(opened.value());
        host->show(window);
        // Painted while the file loads, the window finds the video view and takes its frames.
        serveWhileWaiting = [this] { host->presentIfDue(); };
    }
    void TearDown() override {
        PlayerScreenTest::TearDown();
        host.reset();
    }

    std::unique_ptr<display::DisplayHost> host;
};

TEST_F(DisplayHostPausedPlayer, OverHalfAMinuteItSchedulesNoTimerAndCompositesNothing) {
    openPausedAt(clip("long.mp4"), 20);
    // What the pause set moving (the slider's last 0.2 s slide) runs to its end.
    mainLoop.advanceSeconds(1);
    // Settled: the paused picture is on the window and no frame has come for a while.
    auto view = player->glkView();
    std::uint64_t composites = 0;
    int quiet = 0;
    ASSERT_TRUE(waitFor([&] {
        const auto now = host->statistics().composites;
        quiet = now == composites && view->presentedFrame().serial > 0 ? quiet + 1 : 0;
        composites = now;
        return quiet >= 20;
    })) << "composites "
        << composites << ", frame " << view->presentedFrame().serial;
    const auto before = host->statistics();
    const auto drawn = view->framesDisplayed();
    for (int step = 0; step < 310; ++step) {
        mainLoop.advanceSeconds(0.1);
        host->presentIfDue();
    }
    const auto after = host->statistics();
    EXPECT_FALSE(mainLoop.loop().nextTimerTime()) << "a timer is left to wake a paused player";
    EXPECT_EQ(after.composites - before.composites, after.windowSystemComposites - before.windowSystemComposites)
        << "composited " << after.composites - before.composites << " times";
    EXPECT_EQ(after.repaints - before.repaints, after.windowSystemRepaints - before.windowSystemRepaints);
    EXPECT_EQ(view->framesDisplayed(), drawn) << "the paused picture was drawn again";
}

}  // namespace
}  // namespace reelhaven::playback_test
