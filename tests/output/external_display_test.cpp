#include <gtest/gtest.h>

#include "output/external_display_view_controller.h"
#include "output/external_scene_delegate.h"
#include "output/mpv_glk_view.h"
#include "platform/dispatch/run_loop.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/animation/transition_animation.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/views/window.h"

namespace reelhaven {
namespace {

// The system's side: a second screen connects a scene of the external-display role, whose
// configuration names the external scene delegate, as the app's delegate will.
class ExternalDisplayApplicationDelegate : public ui::ApplicationDelegate {
public:
    ui::SceneConfiguration configurationForConnecting(ui::Application& application, ui::SceneSession& session,
                                                      const ui::ConnectionOptions& options) override {
        if (session.role() == ui::SceneSessionRole::windowExternalDisplayNonInteractive)
            return ExternalSceneDelegate::configuration();
        return ui::ApplicationDelegate::configurationForConnecting(application, session, options);
    }
};

class ExternalDisplayTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop mainLoop;
    int ready = 0;
    int disconnected = 0;
    foundation::NotificationCenter::Token readyToken, disconnectedToken;

    void SetUp() override {
        ui::Application::shared().reset();
        ui::Application::shared().setDelegate(std::make_shared<ExternalDisplayApplicationDelegate>());
        auto& center = foundation::NotificationCenter::defaultCenter();
        readyToken = center.addObserver(kExternalDisplayReady, nullptr, [this](auto&) { ++ready; });
        disconnectedToken =
            center.addObserver(kExternalDisplayDisconnected, nullptr, [this](auto&) { ++disconnected; });
    }
    void TearDown() override {
        foundation::NotificationCenter::defaultCenter().removeObserver(readyToken);
        foundation::NotificationCenter::defaultCenter().removeObserver(disconnectedToken);
        ui::Application::shared().reset();
    }
    std::shared_ptr<ui::WindowScene> connectSecondScreen() {
        return ui::Application::shared().connectScene(ui::SceneSessionRole::windowExternalDisplayNonInteractive, {},
                                                      ui::Screen::create({0, 0, 1920, 1080}, 1));
    }
};

TEST_F(ExternalDisplayTest, NoControllerWithoutASecondScreen) {
    ui::Application::shared().connectScene(ui::SceneSessionRole::windowApplication);
    EXPECT_FALSE(ExternalDisplayViewController::current());
}

TEST_F(ExternalDisplayTest, ASecondScreenGetsTheControllerWhichSaysItIsReadyOnEachAppearance) {
    auto scene = connectSecondScreen();
    auto controller = ExternalDisplayViewController::current();
    ASSERT_TRUE(controller);
    EXPECT_EQ(ready, 1);
    EXPECT_TRUE(controller->glkView());
    EXPECT_TRUE(controller->glkView()->isHidden()) << "no video plays there yet";
    EXPECT_FALSE(controller->placeholderView()->isHidden());
    EXPECT_EQ(controller->view()->window()->screen()->bounds().size.width, 1920);

    controller->viewDidAppear(false);
    EXPECT_EQ(ready, 2);

    ui::Application::shared().disconnectScene(scene);
    EXPECT_EQ(disconnected, 1);
    EXPECT_FALSE(ExternalDisplayViewController::current());
}

TEST_F(ExternalDisplayTest, ShowPlaceholderHidesTheVideoAtOnceAndFadesThePlaceholderIn) {
    connectSecondScreen();
    auto controller = ExternalDisplayViewController::current();
    ASSERT_TRUE(controller);
    controller->placeholderView()->setHidden(true);
    controller->glkView()->setHidden(false);

    controller->showPlaceholder();
    EXPECT_TRUE(controller->glkView()->isHidden());
    EXPECT_FALSE(controller->placeholderView()->isHidden());
    auto fade = std::dynamic_pointer_cast<ui::TransitionAnimation>(
        controller->placeholderView()->layer().animation("transition"));
    ASSERT_TRUE(fade);
    EXPECT_EQ(fade->type, "fade");
    EXPECT_DOUBLE_EQ(fade->duration, 0.5);
}

}  // namespace
}  // namespace reelhaven
