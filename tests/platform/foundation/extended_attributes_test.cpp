#include "platform/foundation/extended_attributes.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <cerrno>

#include "support/temp_dir.h"

namespace foundation {
namespace {

class ExtendedAttributesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing_support::writeFile(dir / "item.mp4", "x");
        path = (dir / "item.mp4").string();
    }
    testing_support::TempDir dir;
    std::string path;
};

TEST_F(ExtendedAttributesTest, RoundTripsInTheUserNamespace) {
    ASSERT_TRUE(ExtendedAttributes::set(path, "reelhaven.UUID", "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
    char raw[64] = {};
    ssize_t length = ::getxattr(path.c_str(), "user.reelhaven.UUID", raw, sizeof raw);
    ASSERT_EQ(length, 36);
    EXPECT_EQ(std::string(raw, 36), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(*ExtendedAttributes::get(path, "reelhaven.UUID", 36), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");

    ASSERT_TRUE(ExtendedAttributes::remove(path, "reelhaven.UUID"));
    auto missing = ExtendedAttributes::get(path, "reelhaven.UUID");
    ASSERT_FALSE(missing);
    EXPECT_TRUE(missing.error().isPOSIX(ENODATA));
    EXPECT_TRUE(ExtendedAttributes::remove(path, "reelhaven.UUID").error().isPOSIX(ENODATA));
}

TEST_F(ExtendedAttributesTest, ValuesLongerThanTheLimitAreRefused) {
    ASSERT_TRUE(ExtendedAttributes::set(path, "reelhaven.UUID", std::string(36, 'A') + "\n"));
    auto tooLong = ExtendedAttributes::get(path, "reelhaven.UUID", 36);
    ASSERT_FALSE(tooLong);
    EXPECT_TRUE(tooLong.error().isPOSIX(ERANGE));
    ASSERT_TRUE(ExtendedAttributes::set(path, "reelhaven.UUID", std::string(1000, 'A')));
    EXPECT_TRUE(ExtendedAttributes::get(path, "reelhaven.UUID", 36).error().isPOSIX(ERANGE));
    EXPECT_EQ(ExtendedAttributes::get(path, "reelhaven.UUID")->size(), 1000u);
}

TEST_F(ExtendedAttributesTest, ValuesMayHoldAnyBytes) {
    std::string value("a\0b", 3);
    ASSERT_TRUE(ExtendedAttributes::set(path, "bytes", value));
    EXPECT_EQ(*ExtendedAttributes::get(path, "bytes"), value);
    ASSERT_TRUE(ExtendedAttributes::set(path, "empty", ""));
    EXPECT_EQ(*ExtendedAttributes::get(path, "empty"), "");
}

TEST_F(ExtendedAttributesTest, MissingFilesFail) {
    EXPECT_TRUE(ExtendedAttributes::get(path + ".missing", "x").error().isPOSIX(ENOENT));
    EXPECT_FALSE(ExtendedAttributes::set(path + ".missing", "x", "y"));
}

TEST_F(ExtendedAttributesTest, BackupExclusionIsTheDefaultAndOnlyInclusionIsStored) {
    EXPECT_TRUE(*ExtendedAttributes::isExcludedFromBackup(path));
    ASSERT_TRUE(ExtendedAttributes::setExcludedFromBackup(path, false));
    EXPECT_FALSE(*ExtendedAttributes::isExcludedFromBackup(path));
    EXPECT_EQ(*ExtendedAttributes::get(path, ExtendedAttributes::kIncludedInBackupName), "1");
    ASSERT_TRUE(ExtendedAttributes::setExcludedFromBackup(path, true));
    EXPECT_TRUE(*ExtendedAttributes::isExcludedFromBackup(path));
    EXPECT_TRUE(ExtendedAttributes::get(path, ExtendedAttributes::kIncludedInBackupName).error().isPOSIX(ENODATA));
    EXPECT_TRUE(ExtendedAttributes::setExcludedFromBackup(path, true));  // twice is fine
    EXPECT_FALSE(ExtendedAttributes::isExcludedFromBackup(path + ".missing"));
}

TEST_F(ExtendedAttributesTest, SettingTheBackupFlagRemovesTheOlderExclusionMark) {
    for (bool excluded : {true, false}) {
        ASSERT_TRUE(ExtendedAttributes::set(path, ExtendedAttributes::kLegacyExcludedFromBackupName, "1"));
        ASSERT_TRUE(ExtendedAttributes::setExcludedFromBackup(path, excluded));
        EXPECT_TRUE(
            ExtendedAttributes::get(path, ExtendedAttributes::kLegacyExcludedFromBackupName).error().isPOSIX(ENODATA));
        EXPECT_EQ(*ExtendedAttributes::isExcludedFromBackup(path), excluded);
    }
}

}  // namespace
}  // namespace foundation
