#include "platform/ui/gl/gl_view.h"

#include <GLES3/gl3.h>
#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_context.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"

namespace {

// Paints its upper half red and its lower half green, and counts the draws and where they ran.
class TwoToneView : public ui::GLView {
public:
    static std::shared_ptr<TwoToneView> create(const ui::Rect& frame) {
        return std::shared_ptr<TwoToneView>(new TwoToneView(frame));
    }
    void draw(const ui::Rect& rect) override {
        if (!isDisplaying()) {
            ++m_drawsOutsideDisplay;
            return;
        }
        GLint bound = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        m_boundDuringDraw = static_cast<unsigned>(bound);
        m_drawnRect = rect;
        // Drawn top row first, the upper half lies at GL's y = 0: as upside down in GL's terms.
        const float top = m_upsideDown != m_topRowFirst ? 0 : 1;
        glClearColor(1 - top, top, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, static_cast<GLint>(rect.size.height / 2), static_cast<GLsizei>(rect.size.width),
                  static_cast<GLsizei>(rect.size.height / 2));
        glClearColor(top, 1 - top, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }
    unsigned m_boundDuringDraw = 0;
    ui::Rect m_drawnRect;
    int m_drawsOutsideDisplay = 0;
    bool m_upsideDown = false;  // green above red
    bool m_topRowFirst = false;

protected:
    bool drawsTopRowFirst() const override { return m_topRowFirst; }

private:
    using GLView::GLView;
};

class GLViewTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop mainLoop;
    std::shared_ptr<dispatch::WorkQueue> renderThread = dispatch::WorkQueue::create("test.render");
    std::shared_ptr<gfx::GLContext> context = gfx::GLContext::create();

    void SetUp() override { ASSERT_TRUE(context); }
    void displayOnRenderThread(ui::GLView& view) {
        renderThread->sync([&] {
            ASSERT_TRUE(context->makeCurrent());
            view.display();
        });
    }
    bool displayIfChangedOnRenderThread(ui::GLView& view) {
        bool awaitsWindow = false;
        renderThread->sync([&] {
            ASSERT_TRUE(context->makeCurrent());
            awaitsWindow = view.displayIfChanged();
        });
        return awaitsWindow;
    }
    void TearDown() override {
        renderThread->sync([&] { context->releaseCurrent(); });
    }
};

TEST_F(GLViewTest, DrawsIntoItsOwnFramebufferSizedBoundsTimesScreenScale) {
    auto window = ui::Window::create(ui::Rect(0, 0, 400, 400));
    window->setScreen(ui::Screen::create(ui::Rect(0, 0, 400, 400), 2.0));
    auto view = TwoToneView::create(ui::Rect(0, 0, 40, 20));
    view->setContext(context);
    view->setKeepsLastFrame(true);
    window->addSubview(view);
    view->layoutSubviews();
    EXPECT_EQ(view->drawableWidth(), 80);
    EXPECT_EQ(view->drawableHeight(), 40);

    displayOnRenderThread(*view);
    EXPECT_NE(view->m_boundDuringDraw, 0u);
    EXPECT_EQ(view->m_drawnRect, ui::Rect(0, 0, 80, 40));
    auto frame = view->lastFrame();
    ASSERT_EQ(frame.width(), 80);
    ASSERT_EQ(frame.height(), 40);
    EXPECT_EQ(frame.pixel(40, 5), (gfx::Pixel{255, 0, 0, 255})) << "the upper half comes first";
    EXPECT_EQ(frame.pixel(40, 35), (gfx::Pixel{0, 255, 0, 255}));
    EXPECT_EQ(view->framesDisplayed(), 1u);
}

TEST_F(GLViewTest, AFrameDrawnTopRowFirstIsReadBackUpright) {
    auto view = TwoToneView::create(ui::Rect(0, 0, 40, 20));
    view->m_topRowFirst = true;
    view->setContext(context);
    view->setKeepsLastFrame(true);
    view->setPresentsToSharedContext(true);
    displayOnRenderThread(*view);
    EXPECT_TRUE(view->presentedFrame().topRowFirst) << "the window must know which way its rows run";
    const auto frame = view->lastFrame();
    const int height = frame.height();
    ASSERT_GT(height, 0);
    EXPECT_EQ(frame.pixel(frame.width() / 2, 1), (gfx::Pixel{255, 0, 0, 255})) << "the upper half comes first";
    EXPECT_EQ(frame.pixel(frame.width() / 2, height - 2), (gfx::Pixel{0, 255, 0, 255}));
}

TEST_F(GLViewTest, ANewSizeGetsNewStorageUnderTheSameFramebufferName) {
    auto view = TwoToneView::create(ui::Rect(0, 0, 10, 10));
    view->setContext(context);
    view->setKeepsLastFrame(true);
    displayOnRenderThread(*view);
    unsigned first = view->m_boundDuringDraw;
    view->setFrame(ui::Rect(0, 0, 30, 12));
    displayOnRenderThread(*view);
    EXPECT_EQ(view->m_boundDuringDraw, first) << "drawers may keep the framebuffer's name";
    double scale = ui::Screen::main()->scale();
    EXPECT_EQ(view->lastFrame().width(), static_cast<int>(30 * scale));
    EXPECT_EQ(view->lastFrame().height(), static_cast<int>(12 * scale));
}

TEST_F(GLViewTest, ReleasingTheFramebufferFreesItsNamesAndTheNextDisplayMakesNewOnes) {
    auto view = TwoToneView::create(ui::Rect(0, 0, 10, 10));
    view->setContext(context);
    view->setKeepsLastFrame(true);
    displayOnRenderThread(*view);
    const unsigned name = view->m_boundDuringDraw;
    ASSERT_NE(name, 0u);
    renderThread->sync([&] {
        ASSERT_TRUE(context->makeCurrent());
        ASSERT_TRUE(glIsFramebuffer(name));
        view->releaseFramebuffer();
        EXPECT_EQ(view->framebuffer(), 0u);
        EXPECT_FALSE(glIsFramebuffer(name)) << "freed now, not when the context goes";
        view->releaseFramebuffer();  // again: nothing left to free
    });
    displayOnRenderThread(*view);
    EXPECT_NE(view->m_boundDuringDraw, 0u);
    EXPECT_EQ(view->lastFrame().pixel(5, 1), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_EQ(view->framesDisplayed(), 2u);
}

TEST_F(GLViewTest, AnEmptyViewDrawsNothingAndDrawOutsideDisplayDoesNoGLWork) {
    auto view = TwoToneView::create(ui::Rect(0, 0, 0, 10));
    view->setContext(context);
    displayOnRenderThread(*view);
    EXPECT_EQ(view->framesDisplayed(), 0u);
    view->setFrame(ui::Rect(0, 0, 10, 10));
    view->setNeedsDisplay();
    view->displayIfNeeded();  // the recording path of ordinary views, on the main thread
    EXPECT_EQ(view->m_drawsOutsideDisplay, 1);
    EXPECT_EQ(view->framesDisplayed(), 0u);
}

TEST_F(GLViewTest, ARedrawWithTheSamePixelsIsNotShownAndOneWithOthersIs) {
    auto view = TwoToneView::create(ui::Rect(0, 0, 16, 8));
    view->setContext(context);
    view->setKeepsLastFrame(true);
    EXPECT_FALSE(displayIfChangedOnRenderThread(*view));
    EXPECT_EQ(view->framesDisplayed(), 1u) << "nothing shown yet to repeat: the first frame is shown";

    EXPECT_FALSE(displayIfChangedOnRenderThread(*view));
    EXPECT_EQ(view->framesDisplayed(), 1u);
    EXPECT_EQ(view->lastFrame().pixel(8, 1), (gfx::Pixel{255, 0, 0, 255}));

    view->m_upsideDown = true;
    displayIfChangedOnRenderThread(*view);
    EXPECT_EQ(view->framesDisplayed(), 2u);
    EXPECT_EQ(view->lastFrame().pixel(8, 1), (gfx::Pixel{0, 255, 0, 255}));

    // A plain display after a repeat still draws into the framebuffer it shows.
    displayIfChangedOnRenderThread(*view);
    view->m_upsideDown = false;
    displayOnRenderThread(*view);
    EXPECT_EQ(view->framesDisplayed(), 3u);
    EXPECT_EQ(view->lastFrame().pixel(8, 1), (gfx::Pixel{255, 0, 0, 255}));
    EXPECT_FALSE(displayIfChangedOnRenderThread(*view));
    EXPECT_EQ(view->framesDisplayed(), 3u);
}

TEST_F(GLViewTest, ARepeatHandsNothingToTheWindowWhichKeepsItsRenderbuffer) {
    auto view = TwoToneView::create(ui::Rect(0, 0, 16, 8));
    view->setContext(context);
    view->setPresentsToSharedContext(true);
    int presented = 0;
    view->setFramePresentedHandler([&] { ++presented; });
    EXPECT_TRUE(displayIfChangedOnRenderThread(*view));
    const auto first = view->presentedFrame();
    view->windowDidShowFrame(first.serial);

    EXPECT_FALSE(displayIfChangedOnRenderThread(*view)) << "no swap to wait for";
    EXPECT_FALSE(view->isAwaitingWindow());
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(view->presentedFrame().serial, first.serial);
    EXPECT_EQ(view->presentedFrame().texture, first.texture);

    view->m_upsideDown = true;
    EXPECT_TRUE(displayIfChangedOnRenderThread(*view));
    EXPECT_EQ(presented, 2);
    EXPECT_EQ(view->presentedFrame().serial, first.serial + 1);
    EXPECT_NE(view->presentedFrame().texture, first.texture) << "drawn beside the one shown";
}

}  // namespace
