#include "platform/foundation/file_manager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/foundation/extended_attributes.h"
#include "support/temp_dir.h"

namespace foundation {
namespace {

using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

URL fileURL(const std::filesystem::path& path) { return URL::fileURLWithPath(path.string()); }

std::vector<std::string> names(const std::vector<URL>& urls) {
    std::vector<std::string> result;
    for (const auto& url : urls) result.push_back(url.lastPathComponent());
    return result;
}

class FileManagerTest : public ::testing::Test {
protected:
    FileManager& files = FileManager::defaultManager();
    TempDir dir;
};

TEST_F(FileManagerTest, ListingSkipsHiddenFilesWhenAsked) {
    writeFile(dir / "b.mp4", "b");
    writeFile(dir / "a.srt", "a");
    writeFile(dir / ".hidden.mp4", "h");
    std::filesystem::create_directories(dir / "Films");
    auto all = files.contentsOfDirectory(fileURL(dir.path()));
    ASSERT_TRUE(all);
    EXPECT_EQ(names(*all), (std::vector<std::string>{".hidden.mp4", "Films", "a.srt", "b.mp4"}));
    auto visible = files.contentsOfDirectory(fileURL(dir.path()), HiddenFiles::skip);
    ASSERT_TRUE(visible);
    EXPECT_EQ(names(*visible), (std::vector<std::string>{"Films", "a.srt", "b.mp4"}));
    EXPECT_TRUE((*visible)[0].hasDirectoryPath());
    EXPECT_FALSE((*visible)[1].hasDirectoryPath());
}

TEST_F(FileManagerTest, ListingAMissingFolderFails) {
    auto result = files.contentsOfDirectory(fileURL(dir / "missing"));
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.error().isPOSIX(ENOENT));
    EXPECT_FALSE(files.contentsOfDirectory(*URL::parse("http://host/")));
}

TEST_F(FileManagerTest, EnumerationDescendsAndCanStayAtTheTop) {
    writeFile(dir / "x" / "y.mp4", "y");
    writeFile(dir / "x" / ".z" / "hidden.mp4", "z");
    writeFile(dir / "top.mp4", "t");
    auto deep = files.enumerate(fileURL(dir.path()), {HiddenFiles::skip, false});
    ASSERT_TRUE(deep);
    EXPECT_EQ(names(*deep), (std::vector<std::string>{"top.mp4", "x", "y.mp4"}));
    auto top = files.enumerate(fileURL(dir.path()), {HiddenFiles::include, true});
    ASSERT_TRUE(top);
    EXPECT_EQ(names(*top), (std::vector<std::string>{"top.mp4", "x"}));
}

TEST_F(FileManagerTest, EnumerationReportsUnreadableFoldersToTheHandler) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    writeFile(dir / "locked" / "inside.mp4", "x");
    writeFile(dir / "open" / "seen.mp4", "x");
    ::chmod((dir / "locked").c_str(), 0);
    int errors = 0;
    auto result = files.enumerate(fileURL(dir.path()), {}, [&](const URL&, const Error& error) {
        ++errors;
        EXPECT_TRUE(error.isPOSIX(EACCES));
        return true;
    });
    ::chmod((dir / "locked").c_str(), 0755);
    ASSERT_TRUE(result);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(names(*result), (std::vector<std::string>{"locked", "open", "seen.mp4"}));
}

TEST_F(FileManagerTest, TypesComeFromLstat) {
    writeFile(dir / "file", "data");
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "folder", dir / "link");
    EXPECT_EQ(*files.typeOfItem(fileURL(dir / "file")), FileType::regular);
    EXPECT_EQ(*files.typeOfItem(fileURL(dir / "folder")), FileType::directory);
    EXPECT_EQ(*files.typeOfItem(fileURL(dir / "link")), FileType::symbolicLink);
    bool isDirectory = false;
    EXPECT_TRUE(files.fileExists(fileURL(dir / "link"), &isDirectory));
    EXPECT_TRUE(isDirectory);
    EXPECT_FALSE(files.fileExists(fileURL(dir / "nothing")));
    EXPECT_FALSE(files.typeOfItem(fileURL(dir / "nothing")));
}

TEST_F(FileManagerTest, AttributesAndAllocatedSize) {
    writeFile(dir / "file", std::string(10000, 'x'));
    auto attributes = files.attributesOfItem(fileURL(dir / "file"));
    ASSERT_TRUE(attributes);
    EXPECT_EQ(attributes->type, FileType::regular);
    EXPECT_EQ(attributes->size, 10000u);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "file").c_str(), &info), 0);
    EXPECT_EQ(attributes->allocatedSize, static_cast<std::uint64_t>(info.st_blocks) * 512);
    EXPECT_EQ(*files.allocatedSize(fileURL(dir / "file")), attributes->allocatedSize);
    EXPECT_NEAR(attributes->modificationDate.timeIntervalSince1970, Date::now().timeIntervalSince1970, 60);
    std::filesystem::create_directory(dir / "folder");
    EXPECT_EQ(*files.allocatedSize(fileURL(dir / "folder")), 0u);
}

TEST_F(FileManagerTest, MoveRenamesAndKeepsAttributes) {
    writeFile(dir / "a.mp4", "video");
    ASSERT_TRUE(ExtendedAttributes::set((dir / "a.mp4").string(), "reelhaven.UUID", "ID"));
    ASSERT_TRUE(files.moveItem(fileURL(dir / "a.mp4"), fileURL(dir / "b.mp4")));
    EXPECT_FALSE(std::filesystem::exists(dir / "a.mp4"));
    EXPECT_EQ(readFile(dir / "b.mp4"), "video");
    EXPECT_EQ(*ExtendedAttributes::get((dir / "b.mp4").string(), "reelhaven.UUID"), "ID");
}

TEST_F(FileManagerTest, MoveNeverOverwrites) {
    writeFile(dir / "a.mp4", "new");
    writeFile(dir / "b.mp4", "old");
    std::filesystem::create_directory(dir / "folder");
    auto status = files.moveItem(fileURL(dir / "a.mp4"), fileURL(dir / "b.mp4"));
    ASSERT_FALSE(status);
    EXPECT_TRUE(status.error().isPOSIX(EEXIST));
    EXPECT_EQ(readFile(dir / "a.mp4"), "new");
    EXPECT_EQ(readFile(dir / "b.mp4"), "old");
    EXPECT_FALSE(files.moveItem(fileURL(dir / "a.mp4"), fileURL(dir / "folder")));
    EXPECT_TRUE(std::filesystem::exists(dir / "a.mp4"));
    EXPECT_FALSE(files.moveItem(fileURL(dir / "missing"), fileURL(dir / "c")));
}

// /dev/shm is tmpfs on Linux; the build tree normally lives on another filesystem.
class CrossFilesystemMoveTest : public FileManagerTest {
protected:
    void SetUp() override {
        struct stat here {
        }, shm{};
        if (::stat(dir.path().c_str(), &here) != 0 || ::stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
            GTEST_SKIP() << "/dev/shm is not another filesystem here";
        std::string pattern = "/dev/shm/reelhaven-test-XXXXXX";
        ASSERT_TRUE(::mkdtemp(pattern.data()));
        other = pattern;
    }
    void TearDown() override {
        if (!other.empty()) std::filesystem::remove_all(other);
    }
    std::filesystem::path other;
};

TEST_F(CrossFilesystemMoveTest, MovesFoldersByCopyAndRemove) {
    writeFile(other / "show" / "ep1.mp4", "one");
    writeFile(other / "show" / "sub" / "ep2.mp4", "two");
    std::filesystem::create_symlink("ep1.mp4", other / "show" / "link");
    // Identities travel with the files where the source filesystem keeps user attributes.
    bool tagged = ExtendedAttributes::set((other / "show" / "sub" / "ep2.mp4").string(), "reelhaven.UUID", "ID").ok();
    ASSERT_TRUE(files.moveItem(fileURL(other / "show"), fileURL(dir / "show")));
    if (tagged) {
        EXPECT_EQ(*ExtendedAttributes::get((dir / "show" / "sub" / "ep2.mp4").string(), "reelhaven.UUID"), "ID");
    }
    EXPECT_FALSE(std::filesystem::exists(other / "show"));
    EXPECT_EQ(readFile(dir / "show" / "ep1.mp4"), "one");
    EXPECT_EQ(readFile(dir / "show" / "sub" / "ep2.mp4"), "two");
    EXPECT_EQ(std::filesystem::read_symlink(dir / "show" / "link"), "ep1.mp4");
}

TEST_F(CrossFilesystemMoveTest, NeverOverwritesAcrossFilesystems) {
    writeFile(other / "a.mp4", "incoming");
    writeFile(dir / "a.mp4", "kept");
    auto status = files.moveItem(fileURL(other / "a.mp4"), fileURL(dir / "a.mp4"));
    ASSERT_FALSE(status);
    EXPECT_TRUE(status.error().isPOSIX(EEXIST));
    EXPECT_EQ(readFile(dir / "a.mp4"), "kept");
    EXPECT_EQ(readFile(other / "a.mp4"), "incoming");
}

TEST_F(FileManagerTest, CopyRefusesAnExistingDestinationAndCopiesTrees) {
    writeFile(dir / "src" / "a" / "b.txt", "b");
    ASSERT_TRUE(files.copyItem(fileURL(dir / "src"), fileURL(dir / "dst")));
    EXPECT_EQ(readFile(dir / "dst" / "a" / "b.txt"), "b");
    EXPECT_EQ(readFile(dir / "src" / "a" / "b.txt"), "b");
    EXPECT_FALSE(files.copyItem(fileURL(dir / "src"), fileURL(dir / "dst")));
    EXPECT_FALSE(files.copyItem(fileURL(dir / "src"), fileURL(dir / "src" / "inside")));
    EXPECT_FALSE(std::filesystem::exists(dir / "src" / "inside"));
}

TEST_F(FileManagerTest, RemoveDeletesTreesButNotLinkTargets) {
    writeFile(dir / "keep" / "file", "x");
    writeFile(dir / "tree" / "a" / "b", "x");
    std::filesystem::create_directory_symlink(dir / "keep", dir / "tree" / "link");
    ASSERT_TRUE(files.removeItem(fileURL(dir / "tree")));
    EXPECT_FALSE(std::filesystem::exists(dir / "tree"));
    EXPECT_TRUE(std::filesystem::exists(dir / "keep" / "file"));
    EXPECT_TRUE(files.removeItem(fileURL(dir / "missing")).error().isPOSIX(ENOENT));
}

TEST_F(FileManagerTest, CreatesFoldersWithOrWithoutIntermediates) {
    EXPECT_FALSE(files.createDirectory(fileURL(dir / "a" / "b")));
    ASSERT_TRUE(files.createDirectory(fileURL(dir / "a" / "b"), Intermediates::create));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "a" / "b"));
    EXPECT_TRUE(files.createDirectory(fileURL(dir / "a" / "b"), Intermediates::create));
    EXPECT_TRUE(files.createDirectory(fileURL(dir / "a" / "b")).error().isPOSIX(EEXIST));
    writeFile(dir / "file", "x");
    EXPECT_FALSE(files.createDirectory(fileURL(dir / "file" / "sub"), Intermediates::create));
    EXPECT_FALSE(files.createDirectory(fileURL(dir / "file"), Intermediates::create));
}

TEST_F(FileManagerTest, AtomicWritesReplaceWholeFilesAndLeaveNoTemporaries) {
    URL url = fileURL(dir / "data.json");
    ASSERT_TRUE(files.writeFile(url, "first version"));
    ASSERT_TRUE(files.writeFile(url, "2"));
    EXPECT_EQ(*files.contentsOfFile(url), "2");
    EXPECT_EQ(names(*files.contentsOfDirectory(fileURL(dir.path()))), (std::vector<std::string>{"data.json"}));
    ASSERT_TRUE(files.writeFile(url, std::string("a\0b", 3), WriteMode::direct));
    EXPECT_EQ(*files.contentsOfFile(url), std::string("a\0b", 3));
    EXPECT_FALSE(files.writeFile(fileURL(dir / "missing" / "x"), "x"));
    URL longest = fileURL(dir / std::string(255, 'n'));  // the temporary name must still fit
    ASSERT_TRUE(files.writeFile(longest, "long"));
    EXPECT_EQ(*files.contentsOfFile(longest), "long");
    EXPECT_FALSE(files.contentsOfFile(fileURL(dir / "missing")));
}

}  // namespace
}  // namespace foundation
