// The app's state files on a real filesystem: what is read, what is refused at once, what a
// killed save left behind, and the copies of damaged contents.

#include "platform/foundation/stored_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>

#include "platform/foundation/file_descriptor.h"
#include "support/temp_dir.h"

namespace foundation {
namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

class StoredFileTest : public ::testing::Test {
protected:
    TempDir dir;
    fs::path path = dir / "progressData";
    StoredFile file{URL::fileURLWithPath(path.string())};

    std::set<std::string> names() const {
        std::set<std::string> result;
        for (const auto& entry : fs::directory_iterator(dir.path())) result.insert(entry.path().filename().string());
        return result;
    }
};

TEST_F(StoredFileTest, ReadsARegularFileAndNothingWhenThereIsNone) {
    auto missing = file.read();
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing.value());

    writeFile(path, std::string("{\"a\":1}\0x", 9));
    auto read = file.read();
    ASSERT_TRUE(read);
    EXPECT_EQ(read.value(), std::string("{\"a\":1}\0x", 9));
}

TEST_F(StoredFileTest, APipeOrADeviceUnderTheNameIsRefusedAtOnce) {
    // A FIFO with no writer would block an ordinary open for ever.
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
    auto fifo = file.read();
    ASSERT_FALSE(fifo);
    EXPECT_NE(fifo.error().description.find("not a regular file"), std::string::npos) << fifo.error().description;

    // /dev/zero would be read until memory runs out.
    fs::remove(path);
    fs::create_symlink("/dev/zero", path);
    EXPECT_FALSE(file.read());
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_FALSE(file.read());
}

TEST_F(StoredFileTest, AFileOverTheLimitIsRefusedAndMovedAsideForTheNextWrite) {
    StoredFile small(URL::fileURLWithPath(path.string()), 10);
    writeFile(path, "0123456789");
    ASSERT_TRUE(small.read());
    EXPECT_EQ(small.read().value(), "0123456789");
    writeFile(path, "0123456789A");
    auto tooLarge = small.read();
    ASSERT_FALSE(tooLarge);
    EXPECT_NE(tooLarge.error().description.find("larger than 10 bytes"), std::string::npos);
    // Not lost to the next write: kept beside it.
    ASSERT_TRUE(small.write("{}"));
    auto kept = names();
    kept.erase("progressData");
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(kept.begin()->starts_with("progressData.corrupt-")) << *kept.begin();
    EXPECT_EQ(readFile(dir / *kept.begin()), "0123456789A");
}

TEST_F(StoredFileTest, WritesReplaceTheFileWhole) {
    writeFile(path, "old contents that are longer");
    ASSERT_TRUE(file.write("new"));
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(names(), (std::set<std::string>{"progressData"}));
}

TEST_F(StoredFileTest, OnlyTheTemporariesOfDeadSavesAreRemoved) {
    writeFile(path, "kept");
    writeFile(dir / ".progressData.Ab12Cd", "a save killed before its rename");
    writeFile(dir / ".progressData.Zz99Yy", "another");
    writeFile(dir / ".progressData.toolong", "not a temporary name");
    writeFile(dir / ".other.Ab12Cd", "another file's");
    // Damaged copies are written the same way, under names made from the time.
    writeFile(dir / ".progressData.corrupt-20261207T101502.123Z.Ab12Cd", "a copy killed before its rename");
    writeFile(dir / ".other.corrupt-20261207T101502.123Z.Ab12Cd", "another file's copy");
    fs::create_directory(dir / ".progressData.Dir123");
    ASSERT_EQ(::mkfifo((dir / ".progressData.Fifo12").c_str(), 0644), 0);
    // A save in progress holds a lock on its temporary.
    writeFile(dir / ".progressData.Live12", "being written");
    FileDescriptor live(::open((dir / ".progressData.Live12").c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(live.get(), LOCK_EX), 0);

    EXPECT_EQ(file.removeAbandonedTemporaries(), 3u);
    EXPECT_EQ(names(), (std::set<std::string>{"progressData", ".progressData.toolong", ".other.Ab12Cd",
                                              ".other.corrupt-20261207T101502.123Z.Ab12Cd", ".progressData.Dir123",
                                              ".progressData.Fifo12", ".progressData.Live12"}));
    live.reset();
    EXPECT_EQ(file.removeAbandonedTemporaries(), 1u) << "its writer is gone";
}

TEST_F(StoredFileTest, DamagedContentsAreKeptByTimeAndOnlyTheNewestFew) {
    std::vector<std::string> copies;
    for (int i = 1; i <= 5; ++i) {
        auto copy = file.keepDamagedCopy("damaged " + std::to_string(i));
        ASSERT_TRUE(copy);
        EXPECT_TRUE(fs::path(*copy).filename().string().starts_with("progressData.corrupt-")) << *copy;
        copies.push_back(*copy);
    }
    EXPECT_EQ(names().size(), StoredFile::kKeptDamagedCopies);
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(fs::exists(copies[i])) << copies[i];
    for (int i = 2; i < 5; ++i) EXPECT_EQ(readFile(copies[i]), "damaged " + std::to_string(i + 1));
}

TEST_F(StoredFileTest, DamageTheNewestCopyHoldsIsNotCopiedAgain) {
    const auto first = file.keepDamagedCopy("damaged 1");
    const auto second = file.keepDamagedCopy("damaged 2");
    ASSERT_TRUE(first && second);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(file.keepDamagedCopy("damaged 2"), second);
    EXPECT_EQ(names(),
              (std::set<std::string>{fs::path(*first).filename().string(), fs::path(*second).filename().string()}));
    // Only the newest counts: damage seen before it is kept once more.
    const auto third = file.keepDamagedCopy("damaged 1");
    ASSERT_TRUE(third);
    EXPECT_NE(third, first);
    EXPECT_EQ(readFile(*third), "damaged 1");
    EXPECT_EQ(names().size(), 3u);
}

}  // namespace
}  // namespace foundation
