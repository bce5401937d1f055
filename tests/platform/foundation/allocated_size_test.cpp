#include "platform/foundation/allocated_size.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace foundation {
namespace {

using testing_support::TempDir;
using testing_support::writeFile;

std::uint64_t blocksOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0);
    return static_cast<std::uint64_t>(info.st_blocks) * 512;
}

URL urlOf(const std::filesystem::path& path) { return URL::fileURLWithPath(path.string()); }

TEST(AllocatedSizeTest, FilesCountTheirBlocksAndEverythingElseNothing) {
    TempDir dir;
    writeFile(dir / "data", std::string(20000, 'x'));
    EXPECT_EQ(allocatedFileSize(urlOf(dir / "data")).value(), blocksOf(dir / "data"));
    EXPECT_GE(allocatedFileSize(urlOf(dir / "data")).value(), 20000u);
    EXPECT_EQ(allocatedFileSize(urlOf(dir.path())).value(), 0u);
    std::filesystem::create_symlink(dir / "data", dir / "link");
    EXPECT_EQ(allocatedFileSize(urlOf(dir / "link")).value(), 0u);
    EXPECT_FALSE(allocatedFileSize(urlOf(dir / "missing")));
}

TEST(AllocatedSizeTest, FoldersSumVisibleFilesAtTheTopOrThroughout) {
    TempDir dir;
    writeFile(dir / "visible", std::string(10000, 'x'));
    writeFile(dir / ".hidden", std::string(30000, 'x'));
    writeFile(dir / "sub" / "inner", std::string(50000, 'x'));
    writeFile(dir / ".secret" / "deep", std::string(70000, 'x'));
    const auto top = blocksOf(dir / "visible");
    const auto inner = blocksOf(dir / "sub" / "inner");
    EXPECT_EQ(allocatedSize(urlOf(dir.path()), SizeScope::topLevelOnly).value(), top);
    EXPECT_EQ(allocatedSize(urlOf(dir.path()), SizeScope::wholeTree).value(), top + inner);
}

TEST(AllocatedSizeTest, AMissingFolderFails) {
    TempDir dir;
    EXPECT_FALSE(allocatedSize(urlOf(dir / "missing"), SizeScope::wholeTree));
    EXPECT_FALSE(allocatedSize(urlOf(dir / "missing"), SizeScope::topLevelOnly));
}

TEST(AllocatedSizeTest, AnUnreadableSubFolderFailsTheWholeSum) {
    TempDir dir;
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    writeFile(dir / "locked" / "file", "x");
    std::filesystem::permissions(dir / "locked", std::filesystem::perms::none);
    EXPECT_FALSE(allocatedSize(urlOf(dir.path()), SizeScope::wholeTree));
    std::filesystem::permissions(dir / "locked", std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace foundation
