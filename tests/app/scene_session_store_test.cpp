// The window scene's session kept from one run of the launcher to the next, in a real container.

#include "app/scene_session_store.h"

#include <gtest/gtest.h>

#include <any>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/user_activity.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

class SceneSessionStoreTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir home;
    SceneSessionStore store{home.path()};
};

TEST_F(SceneSessionStoreTest, TheNextRunGetsTheSessionWithItsActivity) {
    auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept-1");
    auto activity = ui::UserActivity::create("com.qvrm.reelhaven.playVideo");
    activity->setUserInfo({{"isSecurityScoped", false}, {"duration", 61.5}, {"url", std::string("bookmark")}});
    session->setStateRestorationActivity(activity);
    ASSERT_TRUE(store.save(*session));
    EXPECT_TRUE(std::filesystem::is_regular_file(home / "Library/Saved Application State/scene.json"));

    auto again = store.load(true);
    EXPECT_EQ(again->persistentIdentifier(), "kept-1");
    ASSERT_TRUE(again->stateRestorationActivity());
    EXPECT_EQ(again->stateRestorationActivity()->activityType(), "com.qvrm.reelhaven.playVideo");
    EXPECT_EQ(std::any_cast<double>(again->stateRestorationActivity()->userInfo().at("duration")), 61.5);

    // Asked not to restore: the same session, nothing to restore.
    auto plain = store.load(false);
    EXPECT_EQ(plain->persistentIdentifier(), "kept-1");
    EXPECT_EQ(plain->stateRestorationActivity(), nullptr);
}

TEST_F(SceneSessionStoreTest, ASessionWithoutActivityRestoresNothing) {
    auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept-2");
    ASSERT_TRUE(store.save(*session));
    EXPECT_EQ(store.load(true)->stateRestorationActivity(), nullptr);
}

TEST_F(SceneSessionStoreTest, NoFileOrABrokenOneGivesANewSession) {
    auto first = store.load(true);
    EXPECT_FALSE(first->persistentIdentifier().empty());
    EXPECT_EQ(first->stateRestorationActivity(), nullptr);

    testing_support::writeFile(store.file(), "{not json");
    auto fresh = store.load(true);
    EXPECT_EQ(fresh->stateRestorationActivity(), nullptr);
    EXPECT_NE(fresh->persistentIdentifier(), first->persistentIdentifier());
    // The broken file is set aside for a look, not read again.
    EXPECT_EQ(testing_support::readFile(store.file().string() + ".corrupt"), "{not json");
    EXPECT_FALSE(std::filesystem::exists(store.file()));
}

TEST_F(SceneSessionStoreTest, ASaveThatCannotBeWrittenSaysSo) {
    testing_support::writeFile(home / "Library", "a file where the folder belongs");
    auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept-3");
    EXPECT_FALSE(store.save(*session));
}

}  // namespace
}  // namespace reelhaven
