#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/transitions_in_flight.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

class PresentationQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = Window::create(Rect(0, 0, 390, 844));
        window->setRootViewController(root);
        window->makeKeyAndVisible();
    }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<Window> window;
    std::shared_ptr<ViewController> root = ViewController::create();
};

TEST_F(PresentationQueueTest, PresentingShortlyAfterAnAnimatedDismissalBeganShowsTheNewScreenWhenItEnds) {
    auto sheet = ViewController::create();
    root->present(sheet, false);
    int dismissed = 0;
    int presented = 0;
    root->dismiss(true, [&] { ++dismissed; });
    loop.advanceSeconds(0.1);
    auto player = ViewController::create();
    player->setModalPresentationStyle(ModalPresentationStyle::fullScreen);
    root->present(player, true, [&] { ++presented; });
    EXPECT_EQ(root->presentedViewController(), sheet);  // the sheet is still going
    EXPECT_EQ(player->presentingViewController(), nullptr);
    EXPECT_EQ(TransitionsInFlight::count(), 1);

    loop.advanceSeconds(0.25);  // the dismissal began 0.1 s ago and takes 0.35 s
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(sheet->view()->superview(), nullptr);
    EXPECT_EQ(root->presentedViewController(), player);
    EXPECT_TRUE(player->isBeingPresented());
    EXPECT_EQ(player->view()->superview(), window);
    EXPECT_EQ(presented, 0);
    EXPECT_EQ(TransitionsInFlight::count(), 1);

    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(player->appearanceState(), ViewController::AppearanceState::appeared);
    EXPECT_EQ(root->appearanceState(), ViewController::AppearanceState::disappeared);
    EXPECT_EQ(TransitionsInFlight::count(), 0);
    loop.advanceSeconds(5);
    EXPECT_EQ(dismissed, 1);
    EXPECT_EQ(presented, 1);
}

TEST_F(PresentationQueueTest, DismissingWhileTheScreenIsStillComingWaitsForItAndRunsEveryCompletionOnce) {
    auto sheet = ViewController::create();
    int presented = 0;
    int firstDismissal = 0;
    int secondDismissal = 0;
    root->present(sheet, true, [&] { ++presented; });
    root->dismiss(true, [&] { ++firstDismissal; });
    EXPECT_EQ(sheet->view()->superview(), window);
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_EQ(presented, 1);
    EXPECT_TRUE(sheet->isBeingDismissed());
    sheet->dismiss(true, [&] { ++secondDismissal; });  // already going: only adds its completion
    EXPECT_EQ(TransitionsInFlight::count(), 1);
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_EQ(firstDismissal, 1);
    EXPECT_EQ(secondDismissal, 1);
    EXPECT_EQ(root->presentedViewController(), nullptr);
    EXPECT_EQ(sheet->view()->superview(), nullptr);
    EXPECT_EQ(sheet->appearanceState(), ViewController::AppearanceState::disappeared);
    EXPECT_EQ(TransitionsInFlight::count(), 0);
}

TEST_F(PresentationQueueTest, NavigationPushesAndPopsCountAsInFlightUntilTheyFinish) {
    auto navigation = NavigationController::create(ViewController::create());
    window->setRootViewController(navigation);
    navigation->pushViewController(ViewController::create(), true);
    EXPECT_EQ(TransitionsInFlight::count(), 1);
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_EQ(TransitionsInFlight::count(), 0);
    navigation->popViewController(true);
    EXPECT_EQ(TransitionsInFlight::count(), 1);
    loop.advanceSeconds(ViewController::transitionDuration);
    EXPECT_EQ(TransitionsInFlight::count(), 0);
}

TEST(TransitionsInFlightTest, ATransitionDroppedWithItsRunLoopStillEnds) {
    {
        dispatch::ScopedMainRunLoop loop;
        auto window = Window::create(Rect(0, 0, 390, 844));
        auto root = ViewController::create();
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        root->present(ViewController::create(), true);
        EXPECT_EQ(TransitionsInFlight::count(), 1);
    }
    EXPECT_EQ(TransitionsInFlight::count(), 0);
}

}  // namespace
}  // namespace ui
