// The window scene's session kept from one run of the launcher to the next, in a real container.

#include "app/scene_session_store.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <any>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/scene_session.h"
#include "platform/ui/scenes/user_activity.h"
#include "support/full_disk.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

class SceneSessionStoreTest : public ::testing::Test {
protected:
    dispatch::ScopedMainRunLoop loop;
    testing_support::TempDir home;
    SceneSessionStore store{home.path()};

    std::vector<std::string> folderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(store.file().parent_path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Oldest first.
    std::vector<std::filesystem::path> damagedCopies() const {
        std::vector<std::filesystem::path> copies;
        for (const auto& name : folderNames())
            if (name.starts_with("scene.json.corrupt-")) copies.push_back(store.file().parent_path() / name);
        return copies;
    }
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
    ASSERT_EQ(damagedCopies().size(), 1u);
    EXPECT_EQ(testing_support::readFile(damagedCopies()[0]), "{not json");
    EXPECT_FALSE(std::filesystem::exists(store.file()));
    // Each broken file is kept, the newest few.
    for (int i = 0; i < 4; ++i) {
        testing_support::writeFile(store.file(), "[" + std::to_string(i) + "]");
        (void)store.load(true);
    }
    ASSERT_EQ(damagedCopies().size(), 3u);
    EXPECT_EQ(testing_support::readFile(damagedCopies()[2]), "[3]");
}

TEST_F(SceneSessionStoreTest, AFileNestedTooDeepIsSetAsideAndGivesANewSession) {
    const std::string deep = std::string(160'000, '[') + std::string(160'000, ']');
    const std::string text =
        R"({"identifier":"kept-3","restorationActivity":{"activityType":"play","userInfo":)" + deep + "}}";
    testing_support::writeFile(store.file(), text);
    auto fresh = store.load(true);
    EXPECT_NE(fresh->persistentIdentifier(), "kept-3");
    EXPECT_EQ(fresh->stateRestorationActivity(), nullptr);
    ASSERT_EQ(damagedCopies().size(), 1u);
    EXPECT_EQ(testing_support::readFile(damagedCopies()[0]), text);
    EXPECT_FALSE(std::filesystem::exists(store.file()));
}

TEST_F(SceneSessionStoreTest, APipeOrADeviceUnderTheFileNameGivesANewSessionAtOnce) {
    std::filesystem::create_directories(store.file().parent_path());
    ASSERT_EQ(::mkfifo(store.file().c_str(), 0644), 0);
    EXPECT_FALSE(store.load(true)->persistentIdentifier().empty());  // would block for ever
    std::filesystem::remove(store.file());
    std::filesystem::create_symlink("/dev/zero", store.file());
    EXPECT_FALSE(store.load(true)->persistentIdentifier().empty());  // would read without end
    ASSERT_TRUE(store.save(*ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept-4")));
    EXPECT_EQ(store.load(true)->persistentIdentifier(), "kept-4");
}

TEST_F(SceneSessionStoreTest, AFullDiskLeavesTheOldFileAndNoTemporary) {
    auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept-5");
    ASSERT_TRUE(store.save(*session));
    const auto old = testing_support::readFile(store.file());
    auto longer = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, std::string(4000, 'x'));
    {
        testing_support::ScopedFullDisk full(old.size() + 100);
        EXPECT_FALSE(store.save(*longer));
    }
    EXPECT_EQ(testing_support::readFile(store.file()), old);
    EXPECT_EQ(folderNames(), std::vector<std::string>{"scene.json"});
}

TEST_F(SceneSessionStoreTest, TemporariesOfKilledSavesAreRemovedAtStart) {
    testing_support::writeFile(store.file().string() + ".tmp", "");
    testing_support::writeFile(store.file().parent_path() / ".scene.json.aB3dE9", "{\"identifier\":");
    ASSERT_TRUE(store.save(*ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept-6")));
    EXPECT_EQ(store.load(true)->persistentIdentifier(), "kept-6");
    EXPECT_EQ(folderNames(), std::vector<std::string>{"scene.json"});
}

TEST_F(SceneSessionStoreTest, ASaveThatCannotBeWrittenSaysSo) {
    testing_support::writeFile(home / "Library", "a file where the folder belongs");
    auto session = ui::SceneSession::create(ui::SceneSessionRole::windowApplication, "kept-3");
    EXPECT_FALSE(store.save(*session));
}

}  // namespace
}  // namespace reelhaven
