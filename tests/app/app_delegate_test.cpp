// The application delegate's services, made on first use in the order the first scene needs them.

#include "app/app_delegate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dispatch/run_loop.h"
#include "platform/foundation/container.h"
#include "platform/ui/scenes/application.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using Names = std::vector<std::string>;

class AppDelegateServiceOrderTest : public ::testing::Test {
protected:
    void SetUp() override {
        delegate->onServiceCreated = [this](std::string_view name) { made.emplace_back(name); };
        ui::Application::shared().setDelegate(delegate);
    }
    void TearDown() override { ui::Application::shared().reset(); }

    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::shared_ptr<AppDelegate> delegate = AppDelegate::create();
    Names made;
};

TEST_F(AppDelegateServiceOrderTest, LaunchingMakesNothingAndTheFirstSceneMakesEachServiceOnceInOrder) {
    auto& application = ui::Application::shared();
    application.launch();
    EXPECT_TRUE(made.empty());

    auto scene = application.connectScene(ui::SceneSessionRole::windowApplication);
    ASSERT_TRUE(scene);
    EXPECT_EQ(made, (Names{"documentsClient", "progressClient", "webServer", "mediaCenterService"}));
    const auto server = delegate->webServer();

    // Kept for the life of the process: a second scene makes none again.
    auto second = application.connectScene(ui::SceneSessionRole::windowApplication);
    EXPECT_EQ(made.size(), 4u);
    EXPECT_EQ(delegate->webServer(), server);
}

TEST_F(AppDelegateServiceOrderTest, TheServerMakesTheDocumentsAccessItServes) {
    ASSERT_TRUE(delegate->webServer());
    EXPECT_EQ(made, (Names{"documentsClient", "webServer"}));
}

}  // namespace
}  // namespace reelhaven
