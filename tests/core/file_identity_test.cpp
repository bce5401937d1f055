#include "core/file_identity.h"

#include <gtest/gtest.h>
#include <sys/xattr.h>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

std::string storedAttribute(const std::filesystem::path& path) {
    char buffer[256];
    ssize_t length = ::getxattr(path.c_str(), FileIdentity::kAttributeName, buffer, sizeof buffer);
    return length < 0 ? std::string() : std::string(buffer, static_cast<std::size_t>(length));
}

void storeAttribute(const std::filesystem::path& path, std::string_view value) {
    ASSERT_EQ(::setxattr(path.c_str(), FileIdentity::kAttributeName, value.data(), value.size(), 0), 0);
}

class FileIdentityTest : public ::testing::Test {
protected:
    TempDir dir;
    std::filesystem::path file = dir / "clip.mp4";
    void SetUp() override { writeFile(file, "x"); }
};

TEST_F(FileIdentityTest, AFileWithoutAnAttributeGetsOneInUpperCase) {
    auto id = FileIdentity::identify(file);
    EXPECT_EQ(storedAttribute(file), id.uuidString());
    EXPECT_EQ(storedAttribute(file).size(), 36u);
    EXPECT_EQ(FileIdentity::identify(file), id);
}

TEST_F(FileIdentityTest, TheIdentitySurvivesRenamesAndMoves) {
    auto id = FileIdentity::identify(file);
    std::filesystem::create_directory(dir / "Films");
    auto moved = dir / "Films" / "holiday.mkv";
    std::filesystem::rename(file, moved);
    EXPECT_EQ(FileIdentity::identify(moved), id);
}

TEST_F(FileIdentityTest, ALowerCaseAttributeIsReadAndNotRewritten) {
    const std::string lower = "e621e1f8-c36c-495a-93fc-0c247a3e6e5f";
    storeAttribute(file, lower);
    auto id = FileIdentity::identify(file);
    EXPECT_EQ(id.uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(storedAttribute(file), lower);
}

TEST_F(FileIdentityTest, MalformedAttributesAreReplaced) {
    const std::string valid = "E621E1F8-C36C-495A-93FC-0C247A3E6E5F";
    const std::string malformed[] = {
        valid + "\n",                            // 37 bytes
        valid.substr(0, 35),                     // 35 bytes
        "E621E1F8 C36C 495A 93FC 0C247A3E6E5F",  // 36 bytes with spaces
        "G621E1F8-C36C-495A-93FC-0C247A3E6E5F",  // not hexadecimal
        std::string(36, '\0'),                   // 36 NULs
        valid.substr(0, 35) + "\xff",            // not UTF-8
    };
    for (const auto& value : malformed) {
        storeAttribute(file, value);
        EXPECT_EQ(FileIdentity::readUUID(file), std::nullopt) << value;
        auto id = FileIdentity::identify(file);
        EXPECT_NE(id.uuidString(), valid);
        EXPECT_EQ(storedAttribute(file), id.uuidString());
    }
}

TEST_F(FileIdentityTest, MissingItemsReadNothingAndStillGetAnId) {
    auto missing = dir / "gone.mp4";
    EXPECT_EQ(FileIdentity::readUUID(missing), std::nullopt);
    auto first = FileIdentity::identify(missing);
    auto second = FileIdentity::identify(missing);
    EXPECT_NE(first, second);  // nothing could be stored, so every listing makes another
}

TEST_F(FileIdentityTest, FoldersCarryIdentitiesToo) {
    std::filesystem::create_directory(dir / "Films");
    auto id = FileIdentity::identify(dir / "Films");
    EXPECT_EQ(storedAttribute(dir / "Films"), id.uuidString());
}

TEST_F(FileIdentityTest, ConcurrentIdentifiersOfOneFileAllGetTheOneItKeeps) {
    // Listings on several threads meeting a new file: each item they make must carry the
    // identifier the file keeps, not one a later writer replaced.
    for (int round = 0; round < 20; ++round) {
        const auto fresh = dir / ("new-" + std::to_string(round) + ".mp4");
        writeFile(fresh, "x");
        std::vector<foundation::UUID> ids(8);
        std::atomic<int> ready = 0;
        std::vector<std::thread> threads;
        for (int i = 0; i < 8; ++i) {
            threads.emplace_back([&, i] {
                ++ready;
                while (ready < 8) std::this_thread::yield();
                ids[i] = FileIdentity::identify(fresh);
            });
        }
        for (auto& t : threads) t.join();
        const auto stored = FileIdentity::readUUID(fresh);
        ASSERT_TRUE(stored);
        for (const auto& id : ids) EXPECT_EQ(id, *stored) << "round " << round;
    }
}

TEST_F(FileIdentityTest, ACopyMadeWithItsAttributesGetsAnIdentityOfItsOwnAndKeepsIt) {
    const auto id = FileIdentity::identify(file);
    const auto copy = dir / "clip.mkv";
    std::filesystem::copy_file(file, copy);
    storeAttribute(copy, id.uuidString());

    EXPECT_EQ(FileIdentity::identify(file), id);
    const auto copyId = FileIdentity::identify(copy);
    EXPECT_NE(copyId, id);
    // Written, so a restart (which knows of no earlier holder) finds the two apart on disk.
    EXPECT_EQ(storedAttribute(copy), copyId.uuidString());
    EXPECT_EQ(storedAttribute(file), id.uuidString());
    for (int listing = 0; listing < 2; ++listing) {
        EXPECT_EQ(FileIdentity::identify(copy), copyId);
        EXPECT_EQ(FileIdentity::identify(file), id);
    }
}

TEST_F(FileIdentityTest, AFileMovedAwayLeavesItsIdentityToTheFileThatCarriesItNow) {
    const auto id = FileIdentity::identify(file);
    std::filesystem::create_directory(dir / "Films");
    const auto moved = dir / "Films" / "clip.mp4";
    std::filesystem::rename(file, moved);
    EXPECT_EQ(FileIdentity::identify(moved), id);
    // The same path spelled another way is the same holder.
    EXPECT_EQ(FileIdentity::identify(dir / "Films" / ".." / "Films" / "clip.mp4"), id);
}

TEST_F(FileIdentityTest, LinksToOneFileGetStableIdentitiesOfTheirOwnWithoutRewritingIt) {
    const auto id = FileIdentity::identify(file);
    const auto hard = dir / "hard.mp4";
    const auto symbolic = dir / "symbolic.mp4";
    std::filesystem::create_hard_link(file, hard);
    std::filesystem::create_symlink(file, symbolic);

    const auto hardId = FileIdentity::identify(hard);
    const auto symbolicId = FileIdentity::identify(symbolic);
    EXPECT_NE(hardId, id);
    EXPECT_NE(symbolicId, id);
    EXPECT_NE(hardId, symbolicId);
    EXPECT_EQ(FileIdentity::identify(hard), hardId);
    EXPECT_EQ(FileIdentity::identify(symbolic), symbolicId);
    EXPECT_EQ(FileIdentity::identify(file), id);
    EXPECT_EQ(storedAttribute(file), id.uuidString());
}

}  // namespace
}  // namespace reelhaven
