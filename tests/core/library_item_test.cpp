#include "core/library_item.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <unordered_set>

#include "core/file_identity.h"
#include "core/folder.h"
#include "core/subtitle.h"
#include "core/video.h"
#include "platform/base/fatal.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using foundation::URL;
using testing_support::TempDir;
using testing_support::writeFile;

URL urlOf(const std::filesystem::path& path) { return URL::fileURLWithPath(path.string()); }

class LibraryItemTest : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(LibraryItemTest, RenamedFilesKeepTheirIdButAreUnequal) {
    writeFile(dir / "Film.mkv", "x");
    auto before = Video::create(urlOf(dir / "Film.mkv"), LibraryItemType::file, false);
    std::filesystem::rename(dir / "Film.mkv", dir / "Holiday.mkv");
    auto after = Video::create(urlOf(dir / "Holiday.mkv"), LibraryItemType::file, false);
    EXPECT_EQ(before->id(), after->id());
    EXPECT_FALSE(*before == *after);
    EXPECT_EQ(before->hash(), after->hash());
}

TEST_F(LibraryItemTest, CopiesWithAttributesGetIdsOfTheirOwnSoNoTwoItemsAreEqual) {
    writeFile(dir / "a" / "Film.mkv", "x");
    auto original = Video::create(urlOf(dir / "a" / "Film.mkv"), LibraryItemType::file, false);
    std::filesystem::create_directory(dir / "b");
    // cp --preserve=xattr keeps user attributes, as a copy in a file browser does.
    ASSERT_EQ(std::system(("cp --preserve=xattr '" + (dir / "a" / "Film.mkv").string() + "' '" +
                           (dir / "b" / "Film.mkv").string() + "' && cp --preserve=xattr '" +
                           (dir / "a" / "Film.mkv").string() + "' '" + (dir / "b" / "Other.mkv").string() + "'")
                              .c_str()),
              0);
    auto sameName = Video::create(urlOf(dir / "b" / "Film.mkv"), LibraryItemType::file, false);
    auto otherName = Video::create(urlOf(dir / "b" / "Other.mkv"), LibraryItemType::file, false);
    // Shown side by side (search lists sub-folders too), two equal items could not be told apart.
    EXPECT_NE(sameName->id(), original->id());
    EXPECT_NE(otherName->id(), original->id());
    EXPECT_FALSE(*original == *sameName);

    // Equality itself stays: the same id under the same name is equal, under another name not.
    sameName->setId(original->id());
    otherName->setId(original->id());
    EXPECT_TRUE(*original == *sameName);
    EXPECT_FALSE(*original == *otherName);
}

TEST_F(LibraryItemTest, DisplayNamesDropExtensionsOfFilesOnly) {
    writeFile(dir / "Film.mkv", "x");
    writeFile(dir / "Film.srt", "x");
    std::filesystem::create_directory(dir / "Film.mkv.d");
    auto video = Video::create(urlOf(dir / "Film.mkv"), LibraryItemType::file, false);
    auto subtitle = Subtitle::create(urlOf(dir / "Film.srt"), LibraryItemType::subtitle, false);
    auto folder = Folder::create(urlOf(dir / "Film.mkv.d"), LibraryItemType::folder, false);
    EXPECT_EQ(video->displayName(), "Film");
    EXPECT_EQ(subtitle->displayName(), "Film");
    EXPECT_EQ(folder->displayName(), "Film.mkv.d");

    // A video and a subtitle sharing an id compare equal: both are called Film.
    subtitle->setId(video->id());
    EXPECT_TRUE(*video == *subtitle);
}

TEST_F(LibraryItemTest, CanonicallyEquivalentNamesAreEqual) {
    writeFile(dir / "Caf\xc3\xa9.mp4", "x");   // precomposed é
    writeFile(dir / "Cafe\xcc\x81.mp4", "x");  // e + combining acute
    auto composed = Video::create(urlOf(dir / "Caf\xc3\xa9.mp4"), LibraryItemType::file, false);
    auto decomposed = Video::create(urlOf(dir / "Cafe\xcc\x81.mp4"), LibraryItemType::file, false);
    decomposed->setId(composed->id());
    EXPECT_TRUE(*composed == *decomposed);

    std::unordered_set<LibraryItemPtr, LibraryItemPtrHash, LibraryItemPtrEqual> set{composed};
    EXPECT_TRUE(set.count(decomposed));
}

TEST_F(LibraryItemTest, SecurityScopedItemsGetFreshIdsAndLeaveTheFileAlone) {
    writeFile(dir / "outside.mp4", "x");
    auto url = urlOf(dir / "outside.mp4");
    auto first = Video::create(url, LibraryItemType::file, true);
    auto second = Video::create(url, LibraryItemType::file, true);
    EXPECT_NE(first->id(), second->id());
    EXPECT_EQ(FileIdentity::readUUID((dir / "outside.mp4").string()), std::nullopt);
    char buffer[64];
    EXPECT_LT(::getxattr((dir / "outside.mp4").c_str(), FileIdentity::kAttributeName, buffer, sizeof buffer), 0);
}

TEST_F(LibraryItemTest, EncodesOnlyTheFourKeysWhateverTheSubclass) {
    writeFile(dir / "a b.mp4", "x");
    auto video = Video::create(urlOf(dir / "a b.mp4"), LibraryItemType::file, false);
    video->setDuration(VideoTime{12});
    video->setSize(4096);
    auto json = video->encode();
    EXPECT_EQ(json.size(), 4u);
    EXPECT_EQ(json["url"], "file://" + URL::percentEncode((dir / "a b.mp4").string()));
    EXPECT_EQ(json["id"], video->id().uuidString());
    EXPECT_EQ(json["type"], 0);
    EXPECT_EQ(json["isSecurityScoped"], false);

    auto decoded = LibraryItem::decode(json);
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)->id(), video->id());
    EXPECT_EQ((*decoded)->url(), video->url());
    EXPECT_EQ((*decoded)->type(), LibraryItemType::file);
    EXPECT_TRUE(**decoded == *video);
}

TEST_F(LibraryItemTest, DecodingTakesTheCodedIdAndLeavesTheFileAlone) {
    writeFile(dir / "v.mp4", "x");
    nlohmann::json json{{"url", urlOf(dir / "v.mp4").absoluteString()},
                        {"id", "e621e1f8-c36c-495a-93fc-0c247a3e6e5f"},
                        {"type", 2},
                        {"isSecurityScoped", false}};
    auto decoded = LibraryItem::decode(json);
    ASSERT_TRUE(decoded);
    EXPECT_EQ((*decoded)->id().uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ((*decoded)->type(), LibraryItemType::subtitle);
    EXPECT_FALSE((*decoded)->isSecurityScoped());
    EXPECT_EQ(FileIdentity::readUUID((dir / "v.mp4").string()), std::nullopt);
}

TEST_F(LibraryItemTest, DecodingFailsForMissingOrMistypedKeys) {
    nlohmann::json good{{"url", "file:///tmp/x.mp4"},
                        {"id", "E621E1F8-C36C-495A-93FC-0C247A3E6E5F"},
                        {"type", 0},
                        {"isSecurityScoped", true}};
    ASSERT_TRUE(LibraryItem::decode(good));
    for (const char* key : {"url", "id", "type", "isSecurityScoped"}) {
        auto missing = good;
        missing.erase(key);
        EXPECT_FALSE(LibraryItem::decode(missing)) << key;
    }
    for (auto [key, value] : {std::pair<const char*, nlohmann::json>{"type", 3},
                              {"type", -1},
                              {"type", "0"},
                              {"id", "not-a-uuid"},
                              {"isSecurityScoped", 1},
                              {"url", 5}}) {
        auto wrong = good;
        wrong[key] = value;
        EXPECT_FALSE(LibraryItem::decode(wrong)) << key << " " << value.dump();
    }
}

TEST_F(LibraryItemTest, SubclassesRefuseToBeDecoded) {
    base::ScopedFatalThrows throws;
    nlohmann::json json = nlohmann::json::object();
    try {
        Video::decode(json);
        FAIL();
    } catch (const base::FatalError& error) {
        EXPECT_TRUE(error.text.starts_with("video.cpp:")) << error.text;
        EXPECT_TRUE(error.text.ends_with(": init(from:) has not been implemented")) << error.text;
    }
    EXPECT_THROW(Folder::decode(json), base::FatalError);
    EXPECT_THROW(Subtitle::decode(json), base::FatalError);
}

}  // namespace
}  // namespace reelhaven
