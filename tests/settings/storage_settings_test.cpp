#include "settings/storage_settings_table_view_controller.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/preferences.h"
#include "core/video.h"
#include "platform/foundation/byte_count_formatter.h"
#include "platform/foundation/extended_attributes.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/navigation_item.h"
#include "settings_test_support.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using settings_testing::cachesFolder;
using settings_testing::documentsFolder;

std::int64_t allocatedBytes(const fs::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return 0;
    return static_cast<std::int64_t>(info.st_blocks) * 512;
}

std::string sizeText(std::int64_t bytes) {
    return foundation::ByteCountFormatter::string(bytes, foundation::ByteCountFormatter::CountStyle::file);
}

bool excludedFromBackup(const fs::path& path) {
    return foundation::ExtendedAttributes::isExcludedFromBackup(path.string()).valueOr(false);
}

class StorageSettingsTest : public settings_testing::SettingsScreenTest {
protected:
    std::shared_ptr<StorageSettingsTableViewController> openStorage() {
        auto settings = openSettings();
        settings->tableView()->tapRow({SettingsTableViewController::storageUsage, 0});
        settle();
        auto storage = std::dynamic_pointer_cast<StorageSettingsTableViewController>(navigation->topViewController());
        return storage;
    }
    std::shared_ptr<ui::AlertController> tapDelete(StorageSettingsTableViewController& storage) {
        EXPECT_TRUE(storage.tableView()->tapRow(
            {StorageSettingsTableViewController::deleteSection, StorageSettingsTableViewController::deleteRow}));
        settle();
        return std::dynamic_pointer_cast<ui::AlertController>(storage.presentedViewController());
    }
    fs::path progressFile() const {
        return foundation::Container::current()->folder(foundation::SearchPathDirectory::applicationSupport) /
               ProgressClient::kFileName;
    }
    // A video with a saved position, so the progress file has a record.
    void saveProgress() {
        testing_support::writeFile(documentsFolder() / "watched.mp4", "x");
        auto video = Video::create(foundation::URL::fileURLWithPath((documentsFolder() / "watched.mp4").string()),
                                   LibraryItemType::file, false);
        video->setDuration(VideoTime{600});
        progressClient->update(*video, 120, std::nullopt, {});
        progressClient->save();
    }
};

TEST_F(StorageSettingsTest, TheSizesCountTheLibraryTreeAndOnlyTheFilesDirectlyInCaches) {
    testing_support::writeFile(documentsFolder() / "movie.mp4", std::string(120'000, 'x'));
    testing_support::writeFile(documentsFolder() / "Shows" / "episode.mkv", std::string(400'000, 'x'));
    testing_support::writeFile(cachesFolder() / "AB12.png", std::string(60'000, 'p'));
    testing_support::writeFile(cachesFolder() / "CD34.png", std::string(9'000, 'p'));
    testing_support::writeFile(cachesFolder() / "Screenshots" / "shot.png", std::string(2'000'000, 's'));
    const auto library =
        allocatedBytes(documentsFolder() / "movie.mp4") + allocatedBytes(documentsFolder() / "Shows" / "episode.mkv");
    const auto caches = allocatedBytes(cachesFolder() / "AB12.png") + allocatedBytes(cachesFolder() / "CD34.png");

    auto storage = openStorage();
    ASSERT_TRUE(storage);
    EXPECT_EQ(storage->navigationItem()->title(), "Storage");
    drainWork();
    EXPECT_EQ(storage->outlets().librarySizeLabel.lock()->text(), sizeText(library));
    EXPECT_EQ(storage->outlets().cacheSizeLabel.lock()->text(), sizeText(caches));
    EXPECT_NE(sizeText(caches), sizeText(caches + allocatedBytes(cachesFolder() / "Screenshots" / "shot.png")));
}

TEST_F(StorageSettingsTest, TheBackupSwitchMarksEveryItemOfTheLibrary) {
    Preferences::shared().icloudBackup.setWrappedValue(true);
    testing_support::writeFile(documentsFolder() / "movie.mp4", "x");
    testing_support::writeFile(documentsFolder() / "Shows" / "Season 1" / "episode.mkv", "x");
    const std::vector<fs::path> items{documentsFolder() / "movie.mp4", documentsFolder() / "Shows",
                                      documentsFolder() / "Shows" / "Season 1",
                                      documentsFolder() / "Shows" / "Season 1" / "episode.mkv"};
    auto storage = openStorage();
    auto toggle = storage->outlets().icloudBackupSwitch.lock();
    ASSERT_TRUE(toggle->isOn());

    toggle->tap();
    EXPECT_EQ(settings_testing::storedDefaults().value("ICLOUD_BACKUP", true), false);
    drainWork();
    for (const auto& item : items) EXPECT_TRUE(excludedFromBackup(item)) << item;

    toggle->tap();
    EXPECT_EQ(settings_testing::storedDefaults().value("ICLOUD_BACKUP", false), true);
    drainWork();
    for (const auto& item : items) EXPECT_FALSE(excludedFromBackup(item)) << item;
}

TEST_F(StorageSettingsTest, ConfirmingEmptiesTheProgressAndTheCachesButSnapshotsAndTheGridRedraws) {
    saveProgress();
    ASSERT_TRUE(fs::exists(progressFile()));
    fs::create_directories(documentsFolder() / "Shows");
    testing_support::writeFile(cachesFolder() / "AB12.png", "p");
    testing_support::writeFile(cachesFolder() / "Screenshots" / "shot.png", "s");
    testing_support::writeFile(cachesFolder() / "Snapshots" / "kept.png", "k");
    videoManager->reload();  // the library grid's first load
    drainManager();
    auto storage = openStorage();
    drainWork();
    const auto cacheText = storage->outlets().cacheSizeLabel.lock()->text();
    const int redrawsBefore = managerDelegate->libraryChanges();

    auto alert = tapDelete(*storage);
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->title(), "Delete cached data");
    EXPECT_EQ(alert->message(),
              "Are you sure you want to delete all progress history and cached data? The video files in your "
              "library will remain.");
    ASSERT_EQ(alert->actions().size(), 2u);
    EXPECT_EQ(alert->actions()[0]->title(), "Cancel");
    EXPECT_EQ(alert->actions()[1]->style(), ui::AlertActionStyle::destructive);
    ASSERT_TRUE(alert->tapAction("Confirm"));
    settle();
    drainWork();
    drainManager();

    EXPECT_FALSE(fs::exists(progressFile()));
    EXPECT_TRUE(progressClient->records().empty());
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(cachesFolder())) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"Snapshots"});
    EXPECT_TRUE(fs::exists(cachesFolder() / "Snapshots" / "kept.png"));
    EXPECT_TRUE(fs::exists(documentsFolder() / "watched.mp4"));  // the library stays
    EXPECT_GT(managerDelegate->libraryChanges(), redrawsBefore);
    EXPECT_EQ(storage->outlets().cacheSizeLabel.lock()->text(), cacheText);  // measured again only on the next load
}

TEST_F(StorageSettingsTest, ConfirmingWithEmptyCachesStillRemovesTheProgressFile) {
    saveProgress();
    auto storage = openStorage();
    auto alert = tapDelete(*storage);
    ASSERT_TRUE(alert && alert->tapAction("Confirm"));
    drainWork();
    drainManager();
    EXPECT_FALSE(fs::exists(progressFile()));
}

TEST_F(StorageSettingsTest, CancellingTheAlertChangesNothing) {
    saveProgress();
    testing_support::writeFile(cachesFolder() / "AB12.png", "p");
    auto storage = openStorage();
    auto alert = tapDelete(*storage);
    ASSERT_TRUE(alert && alert->tapAction("Cancel"));
    drainWork();
    drainManager();
    EXPECT_TRUE(fs::exists(progressFile()));
    EXPECT_FALSE(progressClient->records().empty());
    EXPECT_TRUE(fs::exists(cachesFolder() / "AB12.png"));
}

TEST_F(StorageSettingsTest, OnlyTheDeleteRowAsksAndNoRowStaysSelected) {
    auto storage = openStorage();
    for (int section = 0; section < storage->tableView()->numberOfSections(); ++section) {
        for (int row = 0; row < storage->tableView()->numberOfItems(section); ++row) {
            if (section == StorageSettingsTableViewController::deleteSection &&
                row == StorageSettingsTableViewController::deleteRow)
                continue;
            storage->tableView()->tapRow({section, row});
            EXPECT_EQ(storage->presentedViewController(), nullptr) << section << "." << row;
        }
    }
    EXPECT_TRUE(storage->tableView()->selectedIndexPaths().empty());
}

TEST_F(StorageSettingsTest, AStorageScreenClosedBeforeItsSizesArriveIsNotUpdated) {
    settings_testing::QueueGate gate(workQueue);
    auto storage = openStorage();
    auto cache = storage->outlets().cacheSizeLabel.lock();
    cache->setText("measuring");
    navigation->popViewController(false);
    std::weak_ptr<StorageSettingsTableViewController> closed = storage;
    storage.reset();
    EXPECT_TRUE(closed.expired());
    gate.open();
    drainWork();
    EXPECT_EQ(cache->text(), "measuring");
}

}  // namespace
}  // namespace reelhaven
