// The renderer's destinations as the player drives them: the GL view, HDR on the Metal layer,
// picture in picture and the second screen, with real libmpv frames.
#include "output/external_display_view_controller.h"
#include "output/external_scene_delegate.h"
#include "platform/graphics/gl_readback.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "player_fixture.h"
#include "support/half_pixels.h"

namespace reelhaven::playback_test {
namespace {

// The system's side of a second screen: its scene gets the external scene delegate.
class SecondScreenApplicationDelegate : public ui::ApplicationDelegate {
public:
    ui::SceneConfiguration configurationForConnecting(ui::Application& application, ui::SceneSession& session,
                                                      const ui::ConnectionOptions& options) override {
        if (session.role() == ui::SceneSessionRole::windowExternalDisplayNonInteractive)
            return ExternalSceneDelegate::configuration();
        return ui::ApplicationDelegate::configurationForConnecting(application, session, options);
    }
};

using testing_support::halfPixel;

class PlayerOutputTest : public PlayerTest {
protected:
    std::shared_ptr<ui::WindowScene> secondScreen;

    void SetUp() override {
        ui::Application::shared().reset();
        ui::Application::shared().setDelegate(std::make_shared<SecondScreenApplicationDelegate>());
    }
    void TearDown() override {
        PlayerTest::TearDown();
        ui::Application::shared().reset();
    }

    void play(const std::string& name) {
        auto played = info(clip(name));
        played->setLoop(true);
        open(played);
    }
    RenderMethod method() {
        return VideoRenderer::renderQueue()->syncValue([&] { return renderer->renderMethod(); });
    }
    // Serves the main loop until the render queue has run what is queued and the main queue what
    // those blocks posted.
    void settle() {
        VideoRenderer::renderQueue()->sync([] {});
        mainLoop.runUntilIdle();
    }
    std::shared_ptr<ExternalDisplayViewController> connectSecondScreen() {
        secondScreen = ui::Application::shared().connectScene(ui::SceneSessionRole::windowExternalDisplayNonInteractive,
                                                              {}, ui::Screen::create({0, 0, 160, 90}, 1));
        auto controller = ExternalDisplayViewController::current();
        EXPECT_TRUE(controller);
        if (!controller) return nullptr;
        controller->view()->window()->layoutIfNeeded();
        controller->glkView()->setKeepsLastFrame(true);
        return controller;
    }
    // Frames drawn into `target` after this call, counted by the view.
    bool waitForFrames(const ui::GLView& target, std::uint64_t more = 2) {
        const auto start = target.framesDisplayed();
        return waitFor([&] { return target.framesDisplayed() >= start + more; });
    }
    std::shared_ptr<media::SampleBuffer> displayedSample() {
        return pictureInPictureView->sampleBufferDisplayLayer()->displayedSampleBuffer();
    }
    bool waitForSamples(std::size_t more = 2) {
        auto& layer = *pictureInPictureView->sampleBufferDisplayLayer();
        const auto start = layer.enqueuedCount();
        return waitFor([&] { return layer.enqueuedCount() >= start + more; });
    }
    void useHDRScreen() {
        preferences->useEDR.setWrappedValue(true);
        edrHeadroom = 2.0;
    }
    bool waitForHDR() {
        return waitFor([&] { return hdr.has_value() && hdr->has_value() && method() == RenderMethod::metal; });
    }
};

TEST_F(PlayerOutputTest, StartsOnTheGLViewWithPictureInPictureOnlyWhenAudioMayContinueInTheBackground) {
    play("halves.mp4");
    EXPECT_EQ(method(), RenderMethod::openGL);
    EXPECT_TRUE(pictureInPictureController);
    EXPECT_TRUE(pictureInPictureController->canStartPictureInPictureAutomaticallyFromInline());
    EXPECT_FALSE(view->isHidden());
    EXPECT_TRUE(metalView->isHidden());
    EXPECT_FALSE(pictureInPictureView->isHidden());
    EXPECT_TRUE(nowPlayingView->isHidden());
    EXPECT_EQ(metalView->metalLayer()->pixelFormat(), media::MetalPixelFormat::rgba16Float);
    EXPECT_FALSE(metalView->metalLayer()->framebufferOnly());
    EXPECT_TRUE(waitForFrames(*view));
    close();

    preferences->continueAudioBackground.setWrappedValue(false);
    play("halves.mp4");
    EXPECT_FALSE(pictureInPictureController);
    EXPECT_TRUE(waitForFrames(*view)) << "everything else works the same";
}

TEST_F(PlayerOutputTest, AnHDR10ClipsTaggedLuminanceReachesTheMetalLayersEDRMetadata) {
    useHDRScreen();
    play("hdr10-mastering.mkv");  // mastered on a 0.005 to 1000 nit display, MaxCLL 1000 nits
    ASSERT_TRUE(waitForHDR());
    // mpv tells the peak only, so the layer maps 0 to 1000 nits, on PQ's 10000 nit scale.
    const auto expected = gfx::EDRMetadata::hdr10(0, 1000, 10000);
    EXPECT_EQ((*hdr)->edrMetadata, expected);
    auto& layer = *metalView->metalLayer();
    EXPECT_EQ(layer.edrMetadata(), expected);
    EXPECT_EQ(layer.colorSpace(), gfx::ColorSpaceName::itur2100PQ);
    close();

    // Without static metadata mpv reports the curve's own peak, which tells the display nothing.
    hdr.reset();
    play("hdr10.mkv");
    ASSERT_TRUE(waitForHDR());
    EXPECT_EQ((*hdr)->edrMetadata, std::nullopt);
    EXPECT_EQ(metalView->metalLayer()->edrMetadata(), std::nullopt);
}

TEST_F(PlayerOutputTest, HDRVideoIsRenderedInHalfFloatOntoTheMetalLayerWithItsTargets) {
    useHDRScreen();
    play("hdr10.mkv");
    ASSERT_TRUE(waitForHDR());
    EXPECT_EQ(property("target-prim"), "bt.2020");
    EXPECT_EQ(property("target-trc"), "pq");
    auto& layer = *metalView->metalLayer();
    EXPECT_TRUE(layer.wantsExtendedDynamicRangeContent());
    EXPECT_EQ(layer.colorSpace(), gfx::ColorSpaceName::itur2100PQ);
    EXPECT_EQ(layer.edrMetadata(), (*hdr)->edrMetadata);

    const auto presented = layer.presentedCount();
    ASSERT_TRUE(waitFor([&] { return layer.presentedCount() >= presented + 2; }));
    settle();
    EXPECT_TRUE(view->isHidden());
    EXPECT_FALSE(metalView->isHidden());
    auto drawable = layer.presentedDrawable();
    ASSERT_TRUE(drawable && drawable->contents);
    EXPECT_EQ(drawable->pixelFormat, media::MetalPixelFormat::rgba16Float);
    EXPECT_EQ(drawable->contents->pixelFormat(), media::PixelFormat::rgba64Half);
    EXPECT_EQ(drawable->contents->width(), 320);
    EXPECT_EQ(drawable->contents->height(), 180);
    EXPECT_EQ(drawable->size, (ui::Size{320, 180}));
    // testsrc2 has a bright picture: PQ-encoded values, not a black frame.
    float brightest = 0;
    for (int x = 0; x < 320; x += 8) brightest = std::max(brightest, halfPixel(*drawable->contents, x, 90)[0]);
    EXPECT_GT(brightest, 0.2f);

    // An SDR video next: the Metal layer shows an empty picture and the GL view comes back.
    renderer->setHDRMetadata(std::nullopt);
    settle();
    EXPECT_EQ(method(), RenderMethod::openGL);
    EXPECT_TRUE(layer.presentedDrawable()->isCleared());
    EXPECT_FALSE(view->isHidden());
    EXPECT_TRUE(metalView->isHidden());
    EXPECT_FALSE(VideoRenderer::renderQueue()->syncValue([&] { return renderer->hdrMetadata().has_value(); }));
    EXPECT_TRUE(waitForFrames(*view));
}

TEST_F(PlayerOutputTest, ANewSizeOfTheMetalViewRebuildsTheTargetOnce) {
    useHDRScreen();
    play("hdr10.mkv");
    ASSERT_TRUE(waitForHDR());
    auto& layer = *metalView->metalLayer();
    metalView->setFrame({0, 0, 200, 100});
    const auto presented = layer.presentedCount();
    ASSERT_TRUE(waitFor([&] { return layer.presentedCount() >= presented + 3; }));
    auto fbo = VideoRenderer::renderQueue()->syncValue([&] { return renderer->fboInfo(); });
    ASSERT_TRUE(fbo);
    EXPECT_EQ(fbo->renderWidth, 200);
    EXPECT_EQ(fbo->renderHeight, 100);
    EXPECT_EQ(layer.drawableSize(), (ui::Size{200, 100}));
    const auto again = layer.presentedCount();
    ASSERT_TRUE(waitFor([&] { return layer.presentedCount() >= again + 2; }));
    EXPECT_EQ(VideoRenderer::renderQueue()->syncValue([&] { return renderer->fboInfo(); }), fbo)
        << "a target of the right size is reused";
}

TEST_F(PlayerOutputTest, PictureInPictureRendersSampleBuffersSizedByTheWindowAndReturns) {
    play("halves.mp4");
    ASSERT_TRUE(pictureInPictureController);
    ASSERT_TRUE(waitForFrames(*view));
    renderer->setPictureInPictureRenderTarget(320, 180);
    settle();
    ASSERT_TRUE(displayedSample()) << "the layer holds one picture before picture in picture starts";
    EXPECT_EQ(pictureInPictureView->sampleBufferDisplayLayer()->enqueuedCount(), 1u);

    pictureInPictureController->startPictureInPicture();
    EXPECT_FALSE(renderer->isEnteringPiP());
    EXPECT_EQ(method(), RenderMethod::pictureInPicture);
    EXPECT_TRUE(view->isHidden());
    EXPECT_TRUE(metalView->isHidden());
    EXPECT_EQ(pictureInPictureView->alpha(), 1);
    EXPECT_GE(pictureInPictureController->invalidationCount(), 1u);

    ASSERT_TRUE(waitForSamples());
    auto sample = displayedSample();
    ASSERT_TRUE(sample);
    EXPECT_TRUE(sample->attachment(media::kSampleAttachmentKeyDisplayImmediately));
    auto pixels = sample->imageBuffer();
    EXPECT_EQ(pixels->pixelFormat(), media::PixelFormat::rgba64Half);
    EXPECT_EQ(pixels->width(), 320) << "before the window reports a size: the GL view's";
    EXPECT_GT(halfPixel(*pixels, 40, 90)[2], 0.8f);   // blue on the left
    EXPECT_GT(halfPixel(*pixels, 280, 90)[0], 0.8f);  // red on the right

    // The window settles at 100 x 50 points: half the video covers it.
    pictureInPictureController->resize({100, 50});
    mainLoop.advanceSeconds(0.5);
    pictureInPictureController->resize({100, 50});
    mainLoop.advanceSeconds(1);
    settle();
    ASSERT_TRUE(waitFor([&] {
        auto shown = displayedSample();
        return shown && shown->imageBuffer()->width() == 160;
    }));
    EXPECT_EQ(displayedSample()->imageBuffer()->height(), 90);

    pictureInPictureController->stopPictureInPicture();
    EXPECT_EQ(method(), RenderMethod::openGL);
    EXPECT_FALSE(view->isHidden());
    EXPECT_EQ(pictureInPictureView->alpha(), 0);
    EXPECT_FALSE(VideoRenderer::renderQueue()->syncValue([&] { return renderer->pictureInPictureSize(); }));
    EXPECT_TRUE(waitForFrames(*view));

    // A target given while picture in picture runs is ignored.
    pictureInPictureController->startPictureInPicture();
    renderer->setPictureInPictureRenderTarget(64, 36);
    settle();
    EXPECT_EQ(VideoRenderer::renderQueue()->syncValue([&] { return renderer->pictureInPictureRenderTarget(); }),
              (PixelSize{320, 180}));
}

TEST_F(PlayerOutputTest, PictureInPictureOfHDRVideoRendersWithAutoTargetsAndReturnsToMetal) {
    useHDRScreen();
    play("hdr10.mkv");
    ASSERT_TRUE(waitForHDR());
    pictureInPictureController->startPictureInPicture();
    EXPECT_EQ(method(), RenderMethod::pictureInPicture);
    EXPECT_EQ(property("target-prim"), "auto");
    EXPECT_EQ(property("target-trc"), "auto");
    ASSERT_TRUE(waitForSamples());
    EXPECT_EQ(displayedSample()->imageBuffer()->width(), 320) << "the Metal drawable's size";

    pictureInPictureController->stopPictureInPicture();
    EXPECT_EQ(method(), RenderMethod::metal);
    EXPECT_FALSE(metalView->isHidden());
    EXPECT_EQ(property("target-prim"), "bt.2020");
    EXPECT_EQ(property("target-trc"), "pq");
}

TEST_F(PlayerOutputTest, MetadataChangesDuringPictureInPictureApplyWhenItEnds) {
    useHDRScreen();
    play("hdr10.mkv");
    ASSERT_TRUE(waitForHDR());
    const auto metadata = **hdr;
    pictureInPictureController->startPictureInPicture();

    // An SDR video comes next while the window plays: nothing of the HDR one may come back.
    renderer->setHDRMetadata(std::nullopt);
    settle();
    EXPECT_EQ(method(), RenderMethod::pictureInPicture);
    pictureInPictureController->stopPictureInPicture();
    EXPECT_EQ(method(), RenderMethod::openGL);
    EXPECT_EQ(property("target-prim"), "auto");
    EXPECT_EQ(property("target-trc"), "auto");

    // An HDR video during picture in picture: stored, and written only once Metal shows it.
    pictureInPictureController->startPictureInPicture();
    renderer->setHDRMetadata(metadata);
    settle();
    EXPECT_EQ(property("target-prim"), "auto");
    EXPECT_EQ(method(), RenderMethod::pictureInPicture);
    pictureInPictureController->stopPictureInPicture();
    EXPECT_EQ(method(), RenderMethod::metal);
    EXPECT_EQ(property("target-prim"), "bt.2020");
    EXPECT_EQ(property("target-trc"), "pq");
}

TEST_F(PlayerOutputTest, ASecondScreenTakesTheFramesAndGivesThemBack) {
    play("halves.mp4");
    ASSERT_TRUE(waitForFrames(*view));
    auto controller = connectSecondScreen();
    ASSERT_TRUE(controller);
    auto external = controller->glkView();
    settle();
    EXPECT_EQ(method(), RenderMethod::legacyExternalDisplay);
    EXPECT_FALSE(external->isHidden());
    EXPECT_TRUE(controller->placeholderView()->isHidden());
    EXPECT_TRUE(view->isHidden());
    EXPECT_TRUE(pictureInPictureView->isHidden());
    EXPECT_FALSE(nowPlayingView->isHidden());
    EXPECT_EQ(nowPlayingView->titleLabel()->text(), "halves");

    ASSERT_TRUE(waitForFrames(*external));
    const auto deviceFrames = view->framesDisplayed();
    auto frame = external->lastFrame();
    ASSERT_EQ(frame.width(), 160);
    EXPECT_GT(frame.pixel(20, 45).b, 200);   // blue on the left
    EXPECT_GT(frame.pixel(140, 45).r, 200);  // red on the right
    ASSERT_TRUE(waitForFrames(*external));
    EXPECT_EQ(view->framesDisplayed(), deviceFrames) << "the device's view draws nothing meanwhile";

    ui::Application::shared().disconnectScene(secondScreen);
    settle();
    EXPECT_EQ(method(), RenderMethod::openGL);
    EXPECT_FALSE(view->isHidden());
    EXPECT_TRUE(nowPlayingView->isHidden());
    EXPECT_FALSE(pictureInPictureView->isHidden());
    EXPECT_FALSE(external->mpvContext());
    EXPECT_EQ(external->fboIdentifier(), -1);
    EXPECT_FALSE(external->connected());
    ASSERT_TRUE(waitForFrames(*view));
    EXPECT_GT(view->lastFrame().pixel(300, 90).r, 200);
}

TEST_F(PlayerOutputTest, APlayerStartedWithASecondScreenDrawsThereFromTheFirstFrame) {
    auto controller = connectSecondScreen();
    ASSERT_TRUE(controller);
    play("halves.mp4");
    EXPECT_EQ(method(), RenderMethod::legacyExternalDisplay);
    EXPECT_FALSE(nowPlayingView->isHidden());
    EXPECT_TRUE(view->isHidden());
    ASSERT_TRUE(waitForFrames(*controller->glkView()));
    EXPECT_EQ(view->framesDisplayed(), 0u);

    controller->showPlaceholder();  // the player closes
    EXPECT_TRUE(controller->glkView()->isHidden());
    EXPECT_FALSE(controller->placeholderView()->isHidden());
}

TEST_F(PlayerOutputTest, ASecondScreenViewLetGoFreesItsFramebufferAtOnce) {
    play("halves.mp4");
    auto controller = connectSecondScreen();
    ASSERT_TRUE(controller);
    auto external = controller->glkView();
    ASSERT_TRUE(waitForFrames(*external));
    auto framebuffer = [&] { return VideoRenderer::renderQueue()->syncValue([&] { return external->framebuffer(); }); };
    ASSERT_NE(framebuffer(), 0u);
    ui::Application::shared().disconnectScene(secondScreen);
    settle();
    EXPECT_EQ(framebuffer(), 0u) << "freed on the render queue, while the player plays on";
    ASSERT_TRUE(waitForFrames(*view));
}

TEST_F(PlayerOutputTest, TheNextPlayerDrawsOnTheSecondScreenThePreviousOneUsed) {
    auto controller = connectSecondScreen();
    ASSERT_TRUE(controller);
    auto external = controller->glkView();
    play("halves.mp4");
    ASSERT_TRUE(waitForFrames(*external));
    close();
    EXPECT_EQ(VideoRenderer::renderQueue()->syncValue([&] { return external->framebuffer(); }), 0u);

    play("halves.mp4");  // a renderer with a GL context of its own
    ASSERT_TRUE(waitForFrames(*external));
    auto frame = external->lastFrame();
    ASSERT_EQ(frame.width(), 160);
    EXPECT_GT(frame.pixel(20, 45).b, 200);
    EXPECT_GT(frame.pixel(140, 45).r, 200);
}

TEST_F(PlayerOutputTest, ASecondScreenLostDuringPictureInPictureLeavesTheWindowPlaying) {
    useHDRScreen();
    play("hdr10.mkv");
    ASSERT_TRUE(waitForHDR());
    ASSERT_TRUE(connectSecondScreen());
    settle();
    ASSERT_EQ(method(), RenderMethod::legacyExternalDisplay);
    EXPECT_EQ(property("target-prim"), "auto");

    pictureInPictureController->startPictureInPicture();
    ui::Application::shared().disconnectScene(secondScreen);
    settle();
    EXPECT_EQ(method(), RenderMethod::pictureInPicture);
    EXPECT_EQ(pictureInPictureView->alpha(), 1);
    EXPECT_FALSE(pictureInPictureView->isHidden());
    EXPECT_FALSE(VideoRenderer::renderQueue()->syncValue([&] { return renderer->externalOpenGLView(); }));
    EXPECT_TRUE(waitForSamples()) << "the window keeps getting frames";

    pictureInPictureController->stopPictureInPicture();
    EXPECT_EQ(method(), RenderMethod::metal) << "will-stop chose the device's method";
    EXPECT_FALSE(metalView->isHidden());
    EXPECT_EQ(property("target-prim"), "bt.2020");
}

TEST_F(PlayerOutputTest, ASecondScreenArrivingDuringPictureInPictureTakesOverWhenItEnds) {
    play("halves.mp4");
    pictureInPictureController->startPictureInPicture();
    auto controller = connectSecondScreen();
    ASSERT_TRUE(controller);
    settle();
    EXPECT_EQ(method(), RenderMethod::pictureInPicture);
    EXPECT_TRUE(waitForSamples());

    pictureInPictureController->stopPictureInPicture();
    EXPECT_EQ(method(), RenderMethod::legacyExternalDisplay);
    EXPECT_FALSE(nowPlayingView->isHidden());
    EXPECT_TRUE(waitForFrames(*controller->glkView()));
}

}  // namespace
}  // namespace reelhaven::playback_test
