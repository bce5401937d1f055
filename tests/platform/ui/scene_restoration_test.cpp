// A scene kept across launches: its restoration activity archived and read back, restored
// right after the scene connects, and every extended restoration completed.

#include <gtest/gtest.h>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_delegate.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/user_activity.h"
#include "platform/ui/scenes/user_activity_archive.h"
#include "platform/ui/scenes/window_scene.h"

namespace ui {
namespace {

class RecordingSceneDelegate : public SceneDelegate {
public:
    void willConnect(Scene&, SceneSession&, const ConnectionOptions&) override { calls.push_back("willConnect"); }
    void restoreInteractionState(Scene& scene, const UserActivity& activity) override {
        calls.push_back("restore " + activity.activityType());
        scene.extendStateRestoration();
    }
    void didBecomeActive(Scene&) override { calls.push_back("didBecomeActive"); }
    std::shared_ptr<UserActivity> stateRestorationActivity(Scene& scene) override { return scene.userActivity(); }
    std::vector<std::string> calls;
};

class SceneRestorationTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application::shared().reset();
        auto configured = delegate;
        struct Delegate : ApplicationDelegate {
            std::shared_ptr<RecordingSceneDelegate> scene;
            SceneConfiguration configurationForConnecting(Application& app, SceneSession& session,
                                                          const ConnectionOptions& options) override {
                auto configuration = ApplicationDelegate::configurationForConnecting(app, session, options);
                configuration.delegateFactory = [d = scene] { return d; };
                return configuration;
            }
        };
        auto app = std::make_shared<Delegate>();
        app->scene = configured;
        Application::shared().setDelegate(app);
    }
    void TearDown() override { Application::shared().reset(); }

    dispatch::ScopedMainRunLoop loop;
    std::shared_ptr<RecordingSceneDelegate> delegate = std::make_shared<RecordingSceneDelegate>();
};

TEST_F(SceneRestorationTest, AKeptSessionIsRestoredRightAfterItConnects) {
    auto session = SceneSession::create(SceneSessionRole::windowApplication, "kept");
    session->setStateRestorationActivity(UserActivity::create("com.example.play"));
    auto scene = Application::shared().connectScene(session);
    EXPECT_EQ(delegate->calls,
              (std::vector<std::string>{"willConnect", "restore com.example.play", "didBecomeActive"}));
    EXPECT_TRUE(scene->isStateRestorationPending());
    scene->completeStateRestoration();
    EXPECT_FALSE(scene->isStateRestorationPending());
    EXPECT_EQ(scene->session()->persistentIdentifier(), "kept");
}

TEST_F(SceneRestorationTest, ANewSessionHasNothingToRestore) {
    auto scene = Application::shared().connectScene(SceneSessionRole::windowApplication);
    EXPECT_EQ(delegate->calls, (std::vector<std::string>{"willConnect", "didBecomeActive"}));
    EXPECT_EQ(scene->stateRestorationExtensions(), 0);
}

TEST_F(SceneRestorationTest, GoingToTheBackgroundKeepsTheScenesActivityWithItsSession) {
    auto scene = Application::shared().connectScene(SceneSessionRole::windowApplication);
    auto activity = UserActivity::create("com.example.play");
    scene->setUserActivity(activity);
    scene->setActivationState(SceneActivationState::background);
    EXPECT_EQ(scene->session()->stateRestorationActivity(), activity);
}

TEST(UserActivityArchiveTest, KeepsTheValuesARestorationNeeds) {
    auto activity = UserActivity::create("com.example.play");
    activity->setTitle("Film");
    const std::string bookmark("\x00\xff\x01 bytes", 9);
    activity->setUserInfo({{"isSecurityScoped", false},
                           {"duration", 12.5},
                           {"count", 3},
                           {"size", std::int64_t{1} << 40},
                           {"name", std::string("Ünïcode")},
                           {"url", bookmark},
                           {"unkept", std::vector<int>{1}}});
    // Through text, as a file holds it.
    auto text = foundation::JsonCoding::dump(archiveUserActivity(*activity));
    auto parsed = foundation::JsonCoding::parse(text);
    ASSERT_TRUE(parsed);
    auto back = unarchiveUserActivity(parsed.value());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->activityType(), "com.example.play");
    EXPECT_EQ(back->title(), "Film");
    const auto& info = back->userInfo();
    EXPECT_EQ(std::any_cast<bool>(info.at("isSecurityScoped")), false);
    EXPECT_EQ(std::any_cast<double>(info.at("duration")), 12.5);
    EXPECT_EQ(std::any_cast<int>(info.at("count")), 3);
    EXPECT_EQ(std::any_cast<std::int64_t>(info.at("size")), std::int64_t{1} << 40);
    EXPECT_EQ(std::any_cast<std::string>(info.at("name")), "Ünïcode");
    EXPECT_EQ(std::any_cast<std::string>(info.at("url")), bookmark);
    EXPECT_EQ(info.count("unkept"), 0u);
}

TEST(UserActivityArchiveTest, RefusesWhatIsNoArchivedActivity) {
    EXPECT_EQ(unarchiveUserActivity(foundation::Json::array()), nullptr);
    EXPECT_EQ(unarchiveUserActivity(foundation::Json{{"title", "no type"}}), nullptr);
    auto odd = unarchiveUserActivity(foundation::Json{{"activityType", "t"}, {"userInfo", {{"a", {{"blob", 1}}}}}});
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->userInfo().empty());
}

}  // namespace
}  // namespace ui
