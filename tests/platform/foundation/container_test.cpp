#include "platform/foundation/container.h"

#include <gtest/gtest.h>

#include "platform/foundation/file_manager.h"
#include "support/temp_dir.h"

namespace foundation {
namespace {

TEST(ContainerTest, ScopedContainerCreatesTheStandardFoldersAndRestoresThePrevious) {
    testing_support::TempDir dir;
    auto before = Container::current();
    {
        ScopedContainer scoped(dir / "home");
        EXPECT_EQ(Container::current()->home(), dir / "home");
        for (const char* folder :
             {"Documents", "Library/Caches", "Library/Application Support", "Library/Preferences", "tmp"}) {
            EXPECT_TRUE(std::filesystem::is_directory(dir / "home" / folder)) << folder;
        }
        auto documents = FileManager::defaultManager().url(SearchPathDirectory::documents);
        ASSERT_TRUE(documents);
        EXPECT_EQ(documents->path(), (dir / "home" / "Documents").string());
        EXPECT_TRUE(documents->hasDirectoryPath());
        EXPECT_EQ(documents->appendingPathComponent("Inbox").path(), (dir / "home" / "Documents" / "Inbox").string());
        EXPECT_EQ(scoped.container().applicationSupportURL().lastPathComponent(), "Application Support");
    }
    EXPECT_EQ(Container::current(), before);
}

TEST(ContainerTest, LookupsFailWithoutAContainer) {
    auto saved = Container::current();
    Container::setCurrent(nullptr);
    auto result = FileManager::defaultManager().url(SearchPathDirectory::caches);
    Container::setCurrent(saved);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().code, kErrorNoContainer);
}

TEST(ContainerTest, LookupCanCreateAMissingFolder) {
    testing_support::TempDir dir;
    ScopedContainer scoped(dir / "home");
    std::filesystem::remove_all(dir / "home" / "Library");
    EXPECT_TRUE(FileManager::defaultManager().url(SearchPathDirectory::caches));
    EXPECT_FALSE(std::filesystem::exists(dir / "home" / "Library" / "Caches"));
    EXPECT_TRUE(FileManager::defaultManager().url(SearchPathDirectory::caches, Intermediates::create));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "home" / "Library" / "Caches"));
}

}  // namespace
}  // namespace foundation
