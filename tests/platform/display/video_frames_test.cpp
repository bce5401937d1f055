// The window's side of the hand-over of video frames: a view's drawer waits for the swap that
// showed its last frame, and is never left waiting by a window that cannot show it.
#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include <atomic>
#include <optional>

#include "platform/display/display_host.h"
#include "platform/ui/gl/gl_view.h"
#include "platform/ui/views/window.h"
#include "support/display_stage.h"

namespace display {
namespace {

class ClearingGLView : public ui::GLView {
public:
    static std::shared_ptr<ClearingGLView> create(const ui::Rect& frame) {
        return std::shared_ptr<ClearingGLView>(new ClearingGLView(frame));
    }
    void draw(const ui::Rect&) override {
        glClearColor(0, 1, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

private:
    explicit ClearingGLView(const ui::Rect& frame) : GLView(frame) {}
};

class DisplayHostFrames : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        mainLoop.emplace();
        window = ui::Window::create(ui::Rect(0, 0, 320, 240));
        window->makeKeyAndVisible();
        auto opened = DisplayHost::open({"frames test", std::nullopt, false, 0.05});
        ASSERT_TRUE(opened) << opened.error().description;
        host = std::move(opened.value());
        host->show(window);
        video = ClearingGLView::create(ui::Rect(0, 0, 320, 180));
        window->addSubview(video);
        host->capture();  // the painter finds the view: it presents to the window from now on
        renderer.emplace("display.test.frames");
        ASSERT_TRUE(renderer->hasContext());
        video->setFrameShownHandler([this] { ++shown; });
    }
    void TearDown() override {
        if (renderer) renderer->release(*video);
        renderer.reset();
        host.reset();
        window.reset();
        mainLoop.reset();
    }
    // Draws one frame as a renderer would; true when the window will say it showed it.
    bool drawFrame() { return renderer->display(*video); }

    std::optional<testing_support::RealMainLoop> mainLoop;
    std::shared_ptr<ui::Window> window;
    std::unique_ptr<DisplayHost> host;
    std::shared_ptr<ClearingGLView> video;
    std::optional<testing_support::RenderThread> renderer;
    std::atomic<int> shown{0};
};

TEST_F(DisplayHostFrames, AFrameIsAwaitedUntilTheSwapThatShowedItAndCountedDroppedWhenReplacedUnseen) {
    ASSERT_TRUE(drawFrame());
    EXPECT_TRUE(video->isAwaitingWindow());
    EXPECT_EQ(shown, 0);
    host->capture();
    EXPECT_FALSE(video->isAwaitingWindow());
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(host->statistics().videoFrames, 1u);
    // A drawer that does not wait replaces a frame the window never showed: it is counted.
    drawFrame();
    drawFrame();
    host->capture();
    EXPECT_EQ(host->statistics().videoFrames, 2u);
    EXPECT_EQ(host->statistics().droppedFrames, 1u);
    EXPECT_EQ(shown, 2);
}

TEST_F(DisplayHostFrames, APictureDrawnBeforeTheWindowTookTheViewIsDrawnAgainForIt) {
    // An audio file's player draws one picture, which can come before the window takes the view's
    // frames: then the window waited for a picture for ever (and a screenshot with it).
    auto early = ClearingGLView::create(ui::Rect(0, 0, 160, 90));
    EXPECT_FALSE(renderer->display(*early)) << "no window takes its frames yet";
    int redrawsAsked = 0;
    early->setPresentationStartedHandler([&] { ++redrawsAsked; });
    window->addSubview(early);
    host->capture();
    EXPECT_EQ(redrawsAsked, 1);
    // The drawer's redraw repeats the same picture: the window gets it all the same.
    EXPECT_TRUE(renderer->displayRepeat(*early));
    EXPECT_EQ(early->presentedFrame().serial, 1u);
    host->capture();
    // Later repeats of a picture the window has are not handed over again.
    EXPECT_FALSE(renderer->displayRepeat(*early));
    EXPECT_EQ(early->presentedFrame().serial, 1u);
    EXPECT_EQ(redrawsAsked, 1);
    renderer->release(*early);
}

TEST_F(DisplayHostFrames, AViewTheWindowDoesNotShowLetsItsFramesGoAtTheNextSwap) {
    video->setHidden(true);
    host->capture();  // still in the window, so still presenting, but not on screen
    ASSERT_TRUE(drawFrame());
    host->capture();
    EXPECT_FALSE(video->isAwaitingWindow()) << "its renderer would wait for ever";
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(host->statistics().videoFrames, 0u);
}

TEST_F(DisplayHostFrames, AViewLeavingTheWindowOrTheWindowClosingStopsTheWait) {
    ASSERT_TRUE(drawFrame());
    video->removeFromSuperview();
    host->capture();
    EXPECT_FALSE(video->isAwaitingWindow());
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(drawFrame()) << "frames no longer go to the window";

    window->addSubview(video);
    host->capture();
    ASSERT_TRUE(drawFrame());
    host.reset();
    EXPECT_FALSE(video->isAwaitingWindow());
    EXPECT_EQ(shown, 2);
}

}  // namespace
}  // namespace display
