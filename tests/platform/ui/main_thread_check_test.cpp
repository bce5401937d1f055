#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "platform/base/fatal.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/gestures/pan_gesture_recognizer.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

// Runs `mutate` on a thread of its own and returns the fatal error it raised, if any.
std::optional<std::string> fatalOffTheMainThread(const std::function<void()>& mutate) {
    std::optional<std::string> error;
    std::thread worker([&] {
        try {
            mutate();
        } catch (const base::FatalError& fatal) {
            error = fatal.text;
        }
    });
    worker.join();
    return error;
}

TEST(MainThreadCheckTest, MutatorsCalledOffTheMainThreadAreFatalAndChangeNothing) {
    dispatch::ScopedMainRunLoop loop;
    base::ScopedFatalThrows throws;
    auto window = Window::create(Rect(0, 0, 390, 844));
    auto button = Button::create();
    button->setFrame(Rect(10, 10, 80, 44));
    auto navigation = NavigationController::create(ViewController::create());
    auto pan = PanGestureRecognizer::create();

    const auto moved = fatalOffTheMainThread([&] { button->setFrame(Rect(0, 0, 1, 1)); });
    ASSERT_TRUE(moved.has_value());
    EXPECT_NE(moved->find("view.cpp:"), std::string::npos) << *moved;  // where the mutator checks
    EXPECT_NE(moved->find("off the main thread"), std::string::npos) << *moved;
    EXPECT_EQ(button->frame(), Rect(10, 10, 80, 44));
    EXPECT_TRUE(fatalOffTheMainThread([&] { button->setTitle("Play", ControlState::normal); }));
    EXPECT_FALSE(button->currentTitle());
    EXPECT_TRUE(fatalOffTheMainThread([&] { button->setEnabled(false); }));
    EXPECT_TRUE(fatalOffTheMainThread([&] { window->setRootViewController(navigation); }));
    EXPECT_TRUE(fatalOffTheMainThread([&] { navigation->pushViewController(ViewController::create(), false); }));
    EXPECT_TRUE(fatalOffTheMainThread([&] { pan->setEnabled(false); }));
    EXPECT_TRUE(fatalOffTheMainThread([&] { button->layer().setOpacity(0.5); }));
    EXPECT_EQ(navigation->viewControllers().size(), 1u);

    button->setTitle("Play", ControlState::normal);  // the main thread may
    EXPECT_EQ(button->currentTitle(), "Play");
}

TEST(MainThreadCheckTest, TheThreadServingTheMainRunLoopIsTheMainThread) {
    EXPECT_TRUE(dispatch::isMainThread());  // before any loop is served: the process's first thread
    std::promise<void> installed;
    std::promise<void> checked;
    bool servingThreadIsMain = false;
    std::thread server([&] {
        dispatch::ScopedMainRunLoop loop;
        servingThreadIsMain = dispatch::isMainThread();
        installed.set_value();
        checked.get_future().wait();
    });
    installed.get_future().wait();
    EXPECT_FALSE(dispatch::isMainThread());
    checked.set_value();
    server.join();
    EXPECT_TRUE(servingThreadIsMain);
    EXPECT_TRUE(dispatch::isMainThread());  // the loop is gone again
}

}  // namespace
}  // namespace ui
