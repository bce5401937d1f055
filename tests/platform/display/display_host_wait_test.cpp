// A host that waits inside a command (a script's `wait`) with the window showing: the window's
// loop serves the app meanwhile and sleeps until something comes, on the manual clock here, with
// another thread standing in for what comes (time passing, a post, the user closing the window).

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/dispatch/run_loop.h"
#include "platform/display/display_host.h"
#include "platform/ui/views/window.h"
#include "support/display_stage.h"

namespace display {
namespace {

// How long the other thread lets the waiting one be before it acts: a wait that woke by itself
// every few milliseconds, or at every refresh, would look at the window many times meanwhile.
// Passing does not depend on it; a loaded machine only makes it longer.
constexpr auto kQuiet = std::chrono::milliseconds(200);

class DisplayHostWaitTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing_support::hasDisplay()) GTEST_SKIP() << "no display: the display stage runs these under Xvfb";
        window->setBackgroundColor(ui::Color::white());
        window->makeKeyAndVisible();
        DisplayHost::Options options;
        options.title = "wait test";
        options.hidden = true;
        auto opened = DisplayHost::open(options);
        ASSERT_TRUE(opened) << opened.error().description;
        host = std::move(opened.value());
        host->show(window);
        host->capture();
    }
    void TearDown() override {
        if (other.joinable()) other.join();
        host.reset();
        window.reset();
    }

    // Runs `act` on another thread after a quiet stretch.
    void later(std::function<void()> act) {
        other = std::thread([act = std::move(act)] {
            std::this_thread::sleep_for(kQuiet);
            act();
        });
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 320, 240));
    std::unique_ptr<DisplayHost> host;
    std::thread other;
};

// The wait's end is a timer, as a script's wait schedules one: it ends when time reaches it, not
// before, and the window is looked at only when something came, not over and over.
TEST_F(DisplayHostWaitTest, AWaitSleepsUntilItsTimeHasCome) {
    const auto start = loop.loop().now();
    const auto until = start + dispatch::seconds(10);
    bool fired = false;
    loop.loop().schedule(until, [&] { fired = true; });
    const auto scans = host->statistics().scans;
    // Time passes in one step of 4 s and one of 6 s, each posted as the clock's owner moves it.
    later([this] {
        loop.loop().post([this] { loop.advance(dispatch::seconds(4)); });
        std::this_thread::sleep_for(kQuiet);
        loop.loop().post([this] { loop.advance(dispatch::seconds(6)); });
    });
    EXPECT_TRUE(host->serveUntil([&] { return loop.loop().now() >= until; }));
    EXPECT_TRUE(fired);
    EXPECT_EQ(loop.loop().now() - start, dispatch::seconds(10));
    // As it began and for each post, and for what the window system says of a new window: not at
    // every refresh (24 times in the two quiet stretches) or every few milliseconds.
    EXPECT_LE(host->statistics().scans - scans, 6u);
}

// A post (a signal's stop request, work the app hands to the main queue) wakes the wait at once:
// it ends early when the post makes its condition hold, and sleeps on when it does not.
TEST_F(DisplayHostWaitTest, APostWakesTheWait) {
    const auto start = loop.loop().now();
    bool stopRequested = false;
    int posts = 0;
    later([&] {
        loop.loop().post([&] { ++posts; });
        std::this_thread::sleep_for(kQuiet);
        loop.loop().post([&] {
            ++posts;
            stopRequested = true;
        });
    });
    EXPECT_TRUE(host->serveUntil([&] { return stopRequested || loop.loop().now() >= start + dispatch::seconds(30); }));
    EXPECT_EQ(posts, 2);
    EXPECT_EQ(loop.loop().now(), start);
}

// The user closes the window during the wait: the wait ends there and says so; a later wait ends
// at once.
TEST_F(DisplayHostWaitTest, AClosedWindowEndsTheWait) {
    const auto start = loop.loop().now();
    later([] {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    EXPECT_FALSE(host->serveUntil([&] { return loop.loop().now() >= start + dispatch::seconds(30); }));
    EXPECT_EQ(loop.loop().now(), start);
    EXPECT_FALSE(host->serveUntil([] { return false; }));
}

}  // namespace
}  // namespace display
