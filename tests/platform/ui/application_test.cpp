#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"

namespace ui {
namespace {

class RecordingScene : public SceneDelegate {
public:
    void willConnect(Scene&, SceneSession& session, const ConnectionOptions& options) override {
        events.push_back("connect " + session.configuration().name + " " + std::to_string(options.urlContexts.size()));
    }
    void didBecomeActive(Scene&) override { events.push_back("active"); }
    void willResignActive(Scene&) override { events.push_back("resign"); }
    void didEnterBackground(Scene&) override { events.push_back("background"); }
    void willEnterForeground(Scene&) override { events.push_back("foreground"); }
    void openURLContexts(Scene&, const std::vector<OpenURLContext>& contexts) override {
        events.push_back("open " + contexts.at(0).url.absoluteString());
    }
    std::shared_ptr<UserActivity> stateRestorationActivity(Scene&) override {
        return UserActivity::create("com.qvrm.reelhaven.playVideo");
    }
    std::vector<std::string> events;
};

class AppDelegate : public ApplicationDelegate {
public:
    SceneConfiguration configurationForConnecting(Application& app, SceneSession& session,
                                                  const ConnectionOptions& options) override {
        auto configuration = ApplicationDelegate::configurationForConnecting(app, session, options);
        configuration.delegateFactory = [this] { return scene; };
        return configuration;
    }
    std::shared_ptr<RecordingScene> scene = std::make_shared<RecordingScene>();
};

class ApplicationTest : public ::testing::Test {
protected:
    void SetUp() override { Application::shared().reset(); }
    void TearDown() override { Application::shared().reset(); }
    dispatch::ScopedMainRunLoop loop;
};

TEST_F(ApplicationTest, ScenesStepThroughTheirStatesAndTheApplicationFollows) {
    auto delegate = std::make_shared<AppDelegate>();
    auto& app = Application::shared();
    app.setDelegate(delegate);
    std::vector<std::string> notifications;
    std::vector<ApplicationState> seen;
    auto& center = foundation::NotificationCenter::defaultCenter();
    auto token = center.addObserver("", nullptr, [&](const foundation::Notification& n) {
        if (n.name.rfind("UIApplication", 0) != 0) return;
        notifications.push_back(n.name);
        seen.push_back(app.applicationState());
    });
    ConnectionOptions options;
    options.urlContexts.push_back({*foundation::URL::parse("reelhaven://example.com/a.mkv"), {}});
    auto scene = app.connectScene(SceneSessionRole::windowApplication, options);
    EXPECT_EQ(app.applicationState(), ApplicationState::active);
    scene->setActivationState(SceneActivationState::background);
    EXPECT_EQ(app.applicationState(), ApplicationState::background);
    EXPECT_EQ(scene->session()->stateRestorationActivity()->activityType(), "com.qvrm.reelhaven.playVideo");
    scene->setActivationState(SceneActivationState::foregroundActive);
    scene->openURLs({{*foundation::URL::parse("http://host/v.mp4"), {}}});
    EXPECT_EQ(delegate->scene->events,
              (std::vector<std::string>{"connect Default Configuration 1", "active", "resign", "background",
                                        "foreground", "active", "open http://host/v.mp4"}));
    EXPECT_EQ(notifications,
              (std::vector<std::string>{
                  Application::willEnterForegroundNotification, Application::didBecomeActiveNotification,
                  Application::willResignActiveNotification, Application::didEnterBackgroundNotification,
                  Application::willEnterForegroundNotification, Application::didBecomeActiveNotification}));
    using State = ApplicationState;
    EXPECT_EQ(seen, (std::vector<State>{State::background, State::active, State::active, State::background,
                                        State::background, State::active}));
    center.removeObserver(token);
    auto window = Window::create(scene);
    EXPECT_EQ(window->windowScene(), scene);
    window->makeKeyAndVisible();
    EXPECT_EQ(scene->keyWindow(), window);
}

TEST_F(ApplicationTest, OpeningURLsAsksTheOpenerAndAnswersOnTheMainQueue) {
    auto& app = Application::shared();
    std::optional<bool> answer;
    app.open(*foundation::URL::parse("https://example.com"), [&](bool ok) { answer = ok; });
    EXPECT_FALSE(answer.has_value());
    loop.runUntilIdle();
    EXPECT_EQ(answer, false);
    app.setURLOpener([](const foundation::URL& url) { return url.scheme() == "https"; });
    app.open(*foundation::URL::parse("https://example.com"), [&](bool ok) { answer = ok; });
    loop.runUntilIdle();
    EXPECT_EQ(answer, true);
    EXPECT_EQ(app.openedURLs().size(), 2u);
    app.setIdleTimerDisabled(true);
    EXPECT_TRUE(app.isIdleTimerDisabled());
}

TEST_F(ApplicationTest, TheIdleTimerStaysOffWhileAnyHolderAsks) {
    auto& app = Application::shared();
    EXPECT_FALSE(app.isIdleTimerDisabled());
    app.setIdleTimerHeld("transfer", true);
    app.setIdleTimerHeld("player", true);
    app.setIdleTimerHeld("player", false);  // the player closes: the server still holds it
    EXPECT_TRUE(app.isIdleTimerDisabled());
    app.setIdleTimerHeld("transfer", true);  // asking twice is one hold
    app.setIdleTimerHeld("transfer", false);
    EXPECT_FALSE(app.isIdleTimerDisabled());
    app.setIdleTimerDisabled(true);
    EXPECT_EQ(app.idleTimerHolders(), std::set<std::string>{Application::applicationIdleTimerHolder});
    app.reset();
    EXPECT_FALSE(app.isIdleTimerDisabled());
}

TEST_F(ApplicationTest, PlatformVersionIsASettingForTheGates) {
    EXPECT_TRUE(PlatformVersion::isAtLeast(16));
    {
        ScopedPlatformVersion old({14, 5, 0});
        EXPECT_FALSE(PlatformVersion::isAtLeast(15));
        EXPECT_TRUE(PlatformVersion::isAtLeast(14, 5));
        EXPECT_EQ(Device::current().systemVersion(), "14.5");
    }
    EXPECT_TRUE(PlatformVersion::isAtLeast(16));
}

}  // namespace
}  // namespace ui
