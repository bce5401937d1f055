#include <GLES3/gl3.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/controls/action.h"
#include "platform/ui/controls/bar_button_item.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/gl/gl_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/visual_effect_view.h"
#include "platform/ui/views/window.h"
#include "support/display_stage.h"

namespace display {
namespace {

using ui::Color;
using ui::Rect;

// A GL view that fills its frames with one colour, as a video renderer fills them with pictures.
class SolidGLView : public ui::GLView {
public:
    static std::shared_ptr<SolidGLView> create(const Rect& frame) {
        return std::shared_ptr<SolidGLView>(new SolidGLView(frame));
    }
    void draw(const Rect&) override {
        glClearColor(red, 0, blue, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    std::atomic<float> red{1};
    std::atomic<float> blue{0};

private:
    explicit SolidGLView(const Rect& frame) : GLView(frame) {}
};

// Red above blue, drawn the way mpv draws (top row at GL's y = 0) or the GL way up.
class TwoToneGLView : public ui::GLView {
public:
    static std::shared_ptr<TwoToneGLView> create(const Rect& frame, bool topRowFirst) {
        return std::shared_ptr<TwoToneGLView>(new TwoToneGLView(frame, topRowFirst));
    }
    void draw(const Rect& rect) override {
        glClearColor(m_topRowFirst ? 1 : 0, 0, m_topRowFirst ? 0 : 1, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, static_cast<GLint>(rect.size.height / 2), static_cast<GLsizei>(rect.size.width),
                  static_cast<GLsizei>(rect.size.height / 2));
        glClearColor(m_topRowFirst ? 0 : 1, 0, m_topRowFirst ? 1 : 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
    }

protected:
    bool drawsTopRowFirst() const override { return m_topRowFirst; }

private:
    TwoToneGLView(const Rect& frame, bool topRowFirst) : GLView(frame), m_topRowFirst(topRowFirst) {}
    bool m_topRowFirst;
};

::testing::AssertionResult near(gfx::Pixel p, int r, int g, int b, int tolerance = 8) {
    auto close = [tolerance](int x, int y) { return std::abs(x - y) <= tolerance; };
    if (close(p.r, r) && close(p.g, g) && close(p.b, b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << int(p.r) << "," << int(p.g) << "," << int(p.b) << " is not "
                                         << r << "," << g << "," << b;
}

class DisplayHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        loop = mainLoop.emplace().loop();
        window = ui::Window::create(Rect(0, 0, 320, 240));
        window->setBackgroundColor(Color::white());
        window->makeKeyAndVisible();
        auto opened = DisplayHost::open({"display test", std::nullopt, false, 0.05});
        ASSERT_TRUE(opened) << opened.error().description;
        host = std::move(opened.value());
        host->show(window);
    }
    void TearDown() override {
        host.reset();
        window.reset();
        mainLoop.reset();
    }

    // Serves the window's own loop (events, paced composites) until `done`, 20 s at most.
    bool serveUntil(const std::function<bool()>& done) {
        return testing_support::serveWindowUntil(*loop, *host, done, std::chrono::seconds(20));
    }
    // Has `view` draw a new frame and serves the window's loop until it has shown it.
    bool showNextFrame(testing_support::RenderThread& renderer, ui::GLView& view) {
        const auto shown = host->statistics().videoFrames;
        renderer.display(view);
        return serveUntil([&] { return host->statistics().videoFrames > shown; });
    }

    std::optional<testing_support::RealMainLoop> mainLoop;
    std::shared_ptr<dispatch::RunLoop> loop;
    std::shared_ptr<ui::Window> window;
    std::unique_ptr<DisplayHost> host;
};

TEST_F(DisplayHostTest, TheWindowShowsThePaintedInterfaceAtItsSizeAndScale) {
    EXPECT_EQ(ui::Screen::main()->bounds().size, (ui::Size{320, 240}));
    EXPECT_EQ(ui::Screen::main()->scale(), 1.0);
    auto box = ui::View::create(Rect(20, 20, 100, 50));
    box->setBackgroundColor(Color::redColor());
    window->addSubview(box);
    auto image = host->capture();
    ASSERT_EQ(image.width(), 320);
    ASSERT_EQ(image.height(), 240);
    EXPECT_TRUE(near(image.pixel(70, 45), 255, 0, 0));
    EXPECT_TRUE(near(image.pixel(200, 200), 255, 255, 255));
}

TEST_F(DisplayHostTest, VideoFramesFromASharedContextShowUnderTheBarsWithoutACopy) {
    auto video = SolidGLView::create(Rect(0, 0, 320, 180));
    window->addSubview(video);
    auto bar = ui::View::create(Rect(0, 150, 320, 30));
    bar->setBackgroundColor(Color::white());
    window->addSubview(bar);
    host->capture();  // the painter finds the view and has it present to the window
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    renderer.display(*video);
    EXPECT_EQ(video->presentedFrame().serial, 1u);
    auto image = host->capture();
    EXPECT_TRUE(near(image.pixel(160, 60), 255, 0, 0));
    EXPECT_TRUE(near(image.pixel(160, 165), 255, 255, 255));  // the bar over the video
    EXPECT_TRUE(near(image.pixel(160, 220), 255, 255, 255));  // the window below it
    video->red = 0;
    video->blue = 1;
    renderer.display(*video);
    image = host->capture();
    EXPECT_TRUE(near(image.pixel(160, 60), 0, 0, 255));
    renderer.release(*video);
}

TEST_F(DisplayHostTest, FramesShowUprightWhicheverWayTheirRowsWereDrawn) {
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    for (bool topRowFirst : {false, true}) {
        // Filling the window (the player's case, copied as it is) and in a corner.
        for (auto frame : {Rect(0, 0, 320, 240), Rect(200, 10, 100, 80)}) {
            auto video = TwoToneGLView::create(frame, topRowFirst);
            window->addSubview(video);
            host->capture();
            renderer.display(*video);
            const auto image = host->capture();
            const int x = static_cast<int>(frame.origin.x + frame.size.width / 2);
            const int top = static_cast<int>(frame.origin.y) + 2;
            const int bottom = static_cast<int>(frame.origin.y + frame.size.height) - 3;
            EXPECT_TRUE(near(image.pixel(x, top), 255, 0, 0)) << "top row first: " << topRowFirst;
            EXPECT_TRUE(near(image.pixel(x, bottom), 0, 0, 255)) << "top row first: " << topRowFirst;
            renderer.release(*video);
            video->removeFromSuperview();
        }
    }
}

TEST_F(DisplayHostTest, AVideoOffTheWindowsEdgeByLayoutDustStillFillsItEdgeToEdge) {
    // The layout solver leaves dust of a few millionths on a view's frame: the video must still
    // cover the window's first and last rows (it was drawn a row short, the last row black).
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    auto video = TwoToneGLView::create(Rect(0, 3e-06, 320, 240 - 3e-06), true);
    window->addSubview(video);
    host->capture();
    renderer.display(*video);
    const auto image = host->capture();
    for (int x : {0, 160, 319}) {
        EXPECT_TRUE(near(image.pixel(x, 0), 255, 0, 0)) << x;
        EXPECT_TRUE(near(image.pixel(x, 239), 0, 0, 255)) << x;
    }
    renderer.release(*video);
}

TEST_F(DisplayHostTest, TheWindowAroundALetterboxedVideoIsBlackWhereverItMoves) {
    // Only the bands around the frame are cleared: where it lay before must turn black once it
    // moves, first above and below it, then beside it.
    window->setBackgroundColor(Color::clear());
    auto video = SolidGLView::create(Rect(0, 30, 320, 180));
    window->addSubview(video);
    host->capture();
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    renderer.display(*video);
    auto image = host->capture();
    EXPECT_TRUE(near(image.pixel(160, 120), 255, 0, 0));
    for (auto [x, y] : {std::pair{160, 10}, {160, 229}, {0, 0}, {319, 239}})
        EXPECT_TRUE(near(image.pixel(x, y), 0, 0, 0)) << x << "," << y;
    video->setFrame(Rect(40, 0, 240, 240));
    host->capture();
    video->red = 0;
    video->blue = 1;
    renderer.display(*video);
    image = host->capture();
    for (auto [x, y] : {std::pair{160, 10}, {160, 229}, {40, 120}, {279, 120}})
        EXPECT_TRUE(near(image.pixel(x, y), 0, 0, 255)) << x << "," << y;
    for (auto [x, y] : {std::pair{10, 120}, {39, 120}, {280, 120}, {310, 60}, {0, 0}, {319, 239}})
        EXPECT_TRUE(near(image.pixel(x, y), 0, 0, 0)) << x << "," << y;
    renderer.release(*video);
}

TEST_F(DisplayHostTest, ASmallVideoInTheBarsOfALargerOneStaysOverTheirBlack) {
    // A frame alone has its bars cleared after it is copied; with a second frame lying in them,
    // that clear would wipe it out.
    window->setBackgroundColor(Color::clear());
    auto large = SolidGLView::create(Rect(0, 30, 320, 180));
    auto small = SolidGLView::create(Rect(10, 4, 40, 20));
    small->red = 0;
    small->blue = 1;
    window->addSubview(large);
    window->addSubview(small);
    host->capture();
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    renderer.display(*large);
    renderer.display(*small);
    for (int frame = 0; frame < 2; ++frame) {
        const auto image = host->capture();
        EXPECT_TRUE(near(image.pixel(160, 120), 255, 0, 0));
        EXPECT_TRUE(near(image.pixel(30, 14), 0, 0, 255)) << "the small video, frame " << frame;
        for (auto [x, y] : {std::pair{160, 10}, {5, 14}, {160, 229}})
            EXPECT_TRUE(near(image.pixel(x, y), 0, 0, 0)) << x << "," << y;
        ASSERT_TRUE(showNextFrame(renderer, *large));
    }
    renderer.release(*small);
    renderer.release(*large);
}

TEST_F(DisplayHostTest, TheBarsOfALetterboxedVideoShowTheirInterfaceAsPaintedFrameAfterFrame) {
    // Where the window keeps its back buffer, the bars are drawn only when they change: a
    // translucent mark in them must neither build up frame after frame nor stay once changed.
    window->setBackgroundColor(Color::clear());
    auto video = SolidGLView::create(Rect(0, 30, 320, 180));
    window->addSubview(video);
    auto mark = ui::View::create(Rect(20, 5, 40, 20));
    mark->setBackgroundColor(Color::white(1, 0.5));
    window->addSubview(mark);
    host->capture();
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    // Frames of alternate colours, the last one blue.
    auto nextFrames = [&](int count) {
        for (int i = count - 1; i >= 0; --i) {
            video->red = static_cast<float>(i % 2);
            video->blue = static_cast<float>(1 - i % 2);
            if (!showNextFrame(renderer, *video)) return false;
        }
        return true;
    };
    ASSERT_TRUE(nextFrames(4));
    auto image = host->capture();
    EXPECT_TRUE(near(image.pixel(40, 15), 128, 128, 128, 12)) << "half white over the bar's black, once";
    EXPECT_TRUE(near(image.pixel(160, 120), 0, 0, 255)) << "the last frame";
    EXPECT_TRUE(near(image.pixel(160, 229), 0, 0, 0));
    mark->setBackgroundColor(Color::redColor());
    host->capture();
    ASSERT_TRUE(nextFrames(3));
    image = host->capture();
    EXPECT_TRUE(near(image.pixel(40, 15), 255, 0, 0)) << "the mark as painted again";
    mark->removeFromSuperview();
    host->capture();
    ASSERT_TRUE(nextFrames(2));
    image = host->capture();
    EXPECT_TRUE(near(image.pixel(40, 15), 0, 0, 0)) << "the bar black again without it";
    EXPECT_TRUE(near(image.pixel(160, 120), 0, 0, 255));
    renderer.release(*video);
}

TEST_F(DisplayHostTest, AVideoFillingTheWindowShowsEdgeToEdgeAndTheInterfaceOverItFollowsItsChanges) {
    // The player: the video fills the window, so the composite draws no black under it.
    auto video = SolidGLView::create(Rect(0, 0, 320, 240));
    window->addSubview(video);
    auto box = ui::View::create(Rect(20, 20, 40, 40));
    box->setBackgroundColor(Color::white());
    window->addSubview(box);
    host->capture();
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    renderer.display(*video);
    auto image = host->capture();
    for (auto [x, y] : {std::pair{0, 0}, {319, 0}, {0, 239}, {319, 239}, {160, 120}})
        EXPECT_TRUE(near(image.pixel(x, y), 255, 0, 0)) << x << "," << y;
    EXPECT_TRUE(near(image.pixel(40, 40), 255, 255, 255));
    // New frames composited by the window's own loop, the interface unchanged; then a change of it.
    for (int i = 0; i < 3; ++i) {
        video->red = static_cast<float>(i % 2);
        video->blue = static_cast<float>(1 - i % 2);
        ASSERT_TRUE(showNextFrame(renderer, *video));
    }
    box->removeFromSuperview();
    image = host->capture();
    EXPECT_TRUE(near(image.pixel(40, 40), 0, 0, 255)) << "the box's place shows the video again";
    EXPECT_TRUE(near(image.pixel(319, 239), 0, 0, 255));
    renderer.release(*video);
}

TEST_F(DisplayHostTest, AFirstPictureGoesUpBeforeTheBlurOverItAndTheNextCompositeBringsItUnasked) {
    // Red above blue, a dark material across the line between them (the player's bars over its
    // picture): blurred, the two colours mix under it.
    auto video = TwoToneGLView::create(Rect(0, 0, 320, 240), true);
    window->addSubview(video);
    auto material = ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::systemUltraThinMaterialDark);
    material->setFrame(Rect(100, 80, 120, 80));
    window->addSubview(material);
    ASSERT_TRUE(serveUntil([&] { return host->statistics().composites >= 1; }));  // the view is found
    testing_support::RenderThread renderer;
    ASSERT_TRUE(renderer.hasContext());
    renderer.display(*video);
    ASSERT_TRUE(serveUntil([&] { return host->statistics().videoFrames >= 1; }));
    // Nothing changes after the first picture, yet the window composites once more, for the blur.
    const auto composites = host->statistics().composites;
    ASSERT_TRUE(serveUntil([&] { return host->statistics().composites > composites; }));
    // What the window shows once settled has it.
    const auto path = std::filesystem::temp_directory_path() / ("display-blur-" + std::to_string(getpid()) + ".png");
    std::optional<foundation::Status> outcome;
    host->screenshotWhenSettled(path.string(), nullptr, [&](foundation::Status status) { outcome = status; });
    ASSERT_TRUE(serveUntil([&] { return outcome.has_value(); }));
    ASSERT_TRUE(*outcome) << outcome->error().description;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    std::filesystem::remove(path);
    auto image = gfx::PngCodec::decode(bytes.str());
    ASSERT_TRUE(image);
    for (int y : {116, 124}) {
        const auto mixed = image->pixel(160, y);
        EXPECT_TRUE(mixed.r > 40 && mixed.b > 40)
            << "under the material at y " << y << ": " << int(mixed.r) << "," << int(mixed.g) << "," << int(mixed.b);
    }
    EXPECT_TRUE(near(image->pixel(40, 116), 255, 0, 0)) << "beside it the picture stays sharp";
    EXPECT_TRUE(near(image->pixel(40, 124), 0, 0, 255));
    renderer.release(*video);
}

TEST_F(DisplayHostTest, WorkThatChangesNothingOnScreenIsNotCompositedAgain) {
    auto box = ui::View::create(Rect(20, 20, 100, 50));
    box->setBackgroundColor(Color::redColor());
    window->addSubview(box);
    // Settled: the window shows the box, and a timer has run since.
    bool settled = false;
    loop->schedule(loop->now() + dispatch::seconds(0.1), [&] { settled = true; });
    ASSERT_TRUE(serveUntil([&] { return settled && host->statistics().composites >= 1; }));
    // Timers that change nothing (a player's clock while its controls are hidden): the interface
    // is looked at, found the same, and neither painted nor composited again.
    const auto before = host->statistics();
    int ran = 0;
    for (int i = 1; i <= 10; ++i) loop->schedule(loop->now() + dispatch::seconds(0.02 * i), [&] { ++ran; });
    ASSERT_TRUE(serveUntil([&] { return ran == 10 && host->statistics().scans > before.scans + 2; }));
    // Only the window system's exposes and resizes, which can come late on a busy machine, have
    // it drawn again.
    const auto after = host->statistics();
    EXPECT_EQ(after.repaints - before.repaints, after.windowSystemRepaints - before.windowSystemRepaints);
    EXPECT_LE(after.composites - before.composites, after.windowSystemComposites - before.windowSystemComposites +
                                                        after.windowSystemRepaints - before.windowSystemRepaints)
        << "painted " << after.repaints - before.repaints << " times";
    // One that changes it is shown, painted again only where it changed.
    const auto composites = host->statistics().composites;
    const auto painted = host->statistics().repaintedPixels;
    bool changed = false;
    loop->schedule(loop->now() + dispatch::seconds(0.01), [&] {
        box->setBackgroundColor(Color::blueColor());
        changed = true;
    });
    ASSERT_TRUE(serveUntil([&] { return changed && host->statistics().composites > composites; }));
    EXPECT_LT(host->statistics().repaintedPixels - painted, 320u * 240u / 4) << "the box, not the window";
    EXPECT_TRUE(near(host->capture().pixel(70, 45), 0, 0, 255));
}

TEST_F(DisplayHostTest, AClockLabelRepaintsOnlyWhenItsTextChangesAndOnlyItsPlace) {
    auto clock = ui::Label::create(Rect(200, 200, 100, 30));
    clock->setText("0:07");
    window->addSubview(clock);
    // Settled: the window shows it, and what the window system sent at its opening is served.
    bool settled = false;
    loop->schedule(loop->now() + dispatch::seconds(0.1), [&] { settled = true; });
    ASSERT_TRUE(serveUntil([&] { return settled && host->statistics().composites >= 1; }));
    // Ticks that set the text it shows: looked at, painted nowhere.
    const auto before = host->statistics();
    int ticks = 0;
    for (int i = 1; i <= 5; ++i)
        loop->schedule(loop->now() + dispatch::seconds(0.02 * i), [&] {
            clock->setText("0:07");
            ++ticks;
        });
    ASSERT_TRUE(serveUntil([&] { return ticks == 5 && host->statistics().scans > before.scans + 2; }));
    auto after = host->statistics();
    EXPECT_EQ(after.repaints - before.repaints, after.windowSystemRepaints - before.windowSystemRepaints);
    EXPECT_EQ(after.repaintedPixels, before.repaintedPixels);
    // A tick that changes it repaints the label's place, not the window.
    loop->schedule(loop->now() + dispatch::seconds(0.01), [&] { clock->setText("0:08"); });
    ASSERT_TRUE(serveUntil([&] {
        const auto now = host->statistics();
        return now.repaints - now.windowSystemRepaints > after.repaints - after.windowSystemRepaints;
    }));
    after = host->statistics();
    EXPECT_GT(after.repaintedPixels, before.repaintedPixels);
    EXPECT_LE(after.repaintedPixels - before.repaintedPixels, 110u * 40u);
    // And the window shows the new text exactly as a whole repaint draws it.
    const auto partial = host->capture();
    window->setBackgroundColor(Color::white());              // the same colour: the whole window painted again
    EXPECT_EQ(host->statistics().repaints, after.repaints);  // not yet
    EXPECT_EQ(host->capture().pixels(), partial.pixels());
}

TEST_F(DisplayHostTest, TheLoopServesTimersAndPostsFromOtherThreadsAndStops) {
    int fired = 0;
    loop->schedule(loop->now() + dispatch::seconds(0.02), [&] { ++fired; });
    std::thread other([this] { loop->post([this] { loop->schedule(loop->now(), [this] { loop->stop(); }); }); });
    loop->schedule(loop->now() + dispatch::seconds(0.05), [&] {
        ++fired;
        loop->post([this] { loop->stop(); });
    });
    host->run();
    other.join();
    // Either stop may end the loop first; serve the rest.
    while (fired < 2) host->run();
    EXPECT_EQ(fired, 2);
    EXPECT_GE(host->statistics().composites, 1u);
}

TEST_F(DisplayHostTest, ResizingTheWindowRelaysTheInterfaceWithTheSizeClassesOfTheNewSize) {
    EXPECT_EQ(window->windowTraitCollection().horizontalSizeClass, ui::UserInterfaceSizeClass::compact);
    auto fill = ui::View::create(Rect(0, 0, 320, 240));
    fill->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    fill->setBackgroundColor(Color::blueColor());
    window->addSubview(fill);
    host->resize({800, 600});
    loop->runUntilIdle();
    EXPECT_EQ(window->bounds().size, (ui::Size{800, 600}));
    EXPECT_EQ(window->windowTraitCollection().horizontalSizeClass, ui::UserInterfaceSizeClass::regular);
    EXPECT_EQ(window->windowTraitCollection().verticalSizeClass, ui::UserInterfaceSizeClass::regular);
    // The X server makes the new drawable in its own time.
    gfx::Image image;
    for (int round = 0; round < 200 && (image.width() != 800 || image.pixel(700, 500).b != 255); ++round) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        loop->runUntilIdle();
        image = host->capture();
    }
    ASSERT_EQ(image.width(), 800);
    EXPECT_TRUE(near(image.pixel(700, 500), 0, 0, 255));
    EXPECT_TRUE(near(image.pixel(10, 10), 0, 0, 255));
}

TEST_F(DisplayHostTest, AScreenshotIsWrittenOnceTheScreenHasSettled) {
    auto button = ui::Button::create(ui::ButtonType::system);
    button->setFrame(Rect(10, 10, 100, 40));
    button->setBackgroundColor(Color::greenColor());
    window->addSubview(button);
    const auto path = std::filesystem::temp_directory_path() / ("display-shot-" + std::to_string(getpid()) + ".png");
    bool ready = false;
    std::optional<foundation::Status> outcome;
    loop->schedule(loop->now() + dispatch::seconds(0.05), [&] { ready = true; });
    host->screenshotWhenSettled(
        path.string(), [&] { return ready; },
        [&](foundation::Status status) {
            outcome = status;
            loop->stop();
        });
    host->run();
    ASSERT_TRUE(outcome);
    ASSERT_TRUE(*outcome) << outcome->error().description;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    auto image = gfx::PngCodec::decode(bytes.str());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 320);
    EXPECT_TRUE(near(image->pixel(60, 30), 0, 255, 0));
    std::filesystem::remove(path);
}

// What the window system sends for a click and a key, in the window's points.
void pushClick(ui::Point at) {
    for (Uint32 type : {SDL_MOUSEBUTTONDOWN, SDL_MOUSEBUTTONUP}) {
        SDL_Event event{};
        event.type = type;
        event.button.button = SDL_BUTTON_LEFT;
        event.button.clicks = 1;
        event.button.x = static_cast<int>(at.x);
        event.button.y = static_cast<int>(at.y);
        SDL_PushEvent(&event);
    }
}

void pushKey(SDL_Scancode code, Uint16 modifiers) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.scancode = code;
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
}

class KeyController : public ui::ViewController {
public:
    static std::shared_ptr<KeyController> create() { return std::shared_ptr<KeyController>(new KeyController()); }
    void pressesBegan(const std::vector<ui::Press>& presses) override {
        for (const auto& press : presses) keys.push_back(press.key);
    }
    std::vector<ui::Key> keys;
};

TEST_F(DisplayHostTest, ClicksOnViewsAndBarItemsAndKeysFromTheWindowReachTheInterface) {
    auto content = KeyController::create();
    content->setTitle("Library");
    int edits = 0, taps = 0;
    auto edit = ui::BarButtonItem::create("Edit");
    edit->setTarget(nullptr, [&](ui::BarButtonItem&) { ++edits; });
    content->navigationItem()->setRightBarButtonItem(edit);
    auto button = ui::Button::create(ui::ButtonType::system);
    button->setFrame(Rect(100, 120, 120, 60));
    button->addAction(ui::Action::create("", [&](ui::Action&) { ++taps; }), ui::touchUpInside);
    content->view()->addSubview(button);
    window->setRootViewController(ui::NavigationController::create(content));
    loop->runUntilIdle();
    host->capture();  // lays the bar out
    // Done when both clicks and the key arrived; a timer ends a run that would hang.
    auto check = [&] {
        if (edits == 1 && taps == 1 && !content->keys.empty()) loop->stop();
    };
    loop->schedule(loop->now() + dispatch::seconds(20), [&] { loop->stop(); });
    pushClick({160, 150});
    pushClick({300, 22});
    pushKey(SDL_SCANCODE_RIGHT, KMOD_LSHIFT);
    std::function<void()> poll;
    poll = [&] {
        check();
        loop->schedule(loop->now() + dispatch::seconds(0.01), poll);
    };
    poll();
    host->run();
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(edits, 1);
    ASSERT_EQ(content->keys.size(), 1u);
    EXPECT_EQ(content->keys[0].keyCode, 79);
    EXPECT_EQ(content->keys[0].modifierFlags, ui::Key::shift);
}

TEST_F(DisplayHostTest, AClickOnABarActsAtOnceWhileATransitionRunsOn) {
    auto content = ui::ViewController::create();
    content->setTitle("Library");
    int edits = 0;
    auto edit = ui::BarButtonItem::create("Edit");
    edit->setTarget(nullptr, [&](ui::BarButtonItem&) {
        ++edits;
        loop->post([this] { loop->stop(); });
    });
    content->navigationItem()->setRightBarButtonItem(edit);
    window->setRootViewController(ui::NavigationController::create(content));
    loop->runUntilIdle();
    host->capture();  // lays the bar out
    // A transition in flight, which ends on its own only after a long time: a click that waited
    // for it would come back only then.
    auto transition = ui::TransitionsInFlight::begin();
    bool endedByTimer = false;
    loop->schedule(loop->now() + dispatch::seconds(20), [&] {
        endedByTimer = true;
        transition->end();
        loop->stop();
    });
    pushClick({300, 22});
    host->run();
    EXPECT_EQ(edits, 1);
    EXPECT_FALSE(endedByTimer);
    EXPECT_EQ(ui::TransitionsInFlight::count(), 1);
    transition->end();
}

// Pushes a press, a move or a release of the left button at `at` into the window's queue.
void pushMouse(Uint32 type, ui::Point at) {
    SDL_Event event{};
    event.type = type;
    if (type == SDL_MOUSEMOTION) {
        event.motion.state = SDL_BUTTON_LMASK;  // a drag
        event.motion.x = static_cast<int>(at.x);
        event.motion.y = static_cast<int>(at.y);
    } else {
        event.button.button = SDL_BUTTON_LEFT;
        event.button.clicks = 1;
        event.button.x = static_cast<int>(at.x);
        event.button.y = static_cast<int>(at.y);
    }
    SDL_PushEvent(&event);
}

TEST_F(DisplayHostTest, AHeldBarItemShowsPressedWhileThePointerStaysOnIt) {
    auto content = ui::ViewController::create();
    content->setTitle("Library");
    int edits = 0;
    auto edit = ui::BarButtonItem::create("Edit");
    edit->setTarget(nullptr, [&](ui::BarButtonItem&) { ++edits; });
    content->navigationItem()->setRightBarButtonItem(edit);
    window->setRootViewController(ui::NavigationController::create(content));
    loop->runUntilIdle();
    const auto idle = host->capture();  // lays the bar out
    // The pixels of the item, and how far they differ from `from`.
    const Rect item(270, 0, 50, 44);
    auto differing = [&](const gfx::Image& image, const gfx::Image& from) {
        int count = 0;
        for (int y = int(item.origin.y); y < int(item.maxY()); ++y)
            for (int x = int(item.origin.x); x < int(item.maxX()); ++x)
                count += std::abs(image.pixel(x, y).r - from.pixel(x, y).r) > 16;
        return count;
    };
    // Serves the window until it has painted what the pushed events did.
    auto serve = [&] {
        const auto scans = host->statistics().scans;
        bool timedOut = false;
        auto guard = loop->schedule(loop->now() + dispatch::seconds(20), [&] {
            timedOut = true;
            loop->stop();
        });
        std::function<void()> poll;
        poll = [&] {
            if (host->statistics().scans >= scans + 2) {
                loop->stop();
                return;
            }
            loop->schedule(loop->now() + dispatch::seconds(0.005), poll);
        };
        poll();
        host->run();
        loop->cancel(guard);
        ASSERT_FALSE(timedOut);
    };
    pushMouse(SDL_MOUSEBUTTONDOWN, {300, 22});
    serve();
    const auto held = host->capture();
    EXPECT_GT(differing(held, idle), 20) << "the held item fades";
    pushMouse(SDL_MOUSEMOTION, {160, 150});
    serve();
    EXPECT_EQ(differing(host->capture(), idle), 0) << "off the item it shows as it was";
    pushMouse(SDL_MOUSEMOTION, {298, 20});
    serve();
    EXPECT_GT(differing(host->capture(), idle), 20) << "back on it, pressed again";
    pushMouse(SDL_MOUSEBUTTONUP, {160, 150});
    serve();
    EXPECT_EQ(edits, 0) << "released off the item";
    EXPECT_EQ(differing(host->capture(), idle), 0);
}

}  // namespace
}  // namespace display
