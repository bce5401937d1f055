#include "core/documents_client.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <thread>

#include "core/folder.h"
#include "core/preferences.h"
#include "core/subtitle.h"
#include "core/video.h"
#include "platform/foundation/container.h"
#include "platform/foundation/extended_attributes.h"
#include "platform/foundation/uuid.h"
#include "platform/graphics/image.h"
#include "platform/graphics/png_codec.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

using foundation::SearchPathDirectory;
using foundation::URL;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

URL urlOf(const std::filesystem::path& path) { return URL::fileURLWithPath(path.string()); }

// What a listing gave, by name: 'V' video, 'S' subtitle, 'F' folder.
std::map<std::string, char> kinds(const std::vector<LibraryItemPtr>& items) {
    std::map<std::string, char> result;
    for (const auto& item : items) {
        char kind = std::dynamic_pointer_cast<Video>(item)      ? 'V'
                    : std::dynamic_pointer_cast<Subtitle>(item) ? 'S'
                    : std::dynamic_pointer_cast<Folder>(item)   ? 'F'
                                                                : '?';
        result[item->url().lastPathComponent()] = kind;
    }
    return result;
}

// 0xEF53: ext2, ext3 and ext4.
constexpr decltype(statfs::f_type) kExtSuperMagic = 0xEF53;

blkcnt_t blocks(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_blocks : -1;
}

std::vector<std::string> attributeNames(const std::filesystem::path& path) {
    char names[1024];
    const ssize_t length = ::listxattr(path.c_str(), names, sizeof names);
    std::vector<std::string> result;
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1)
        result.emplace_back(names + at);
    return result;
}

bool excludedFromBackup(const std::filesystem::path& path) {
    return foundation::ExtendedAttributes::isExcludedFromBackup(path.string()).valueOr(false);
}

class DocumentsClientTest : public ::testing::Test {
protected:
    TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::filesystem::path documents = container.container().folder(SearchPathDirectory::documents);
    std::filesystem::path caches = container.container().folder(SearchPathDirectory::caches);
    std::shared_ptr<Preferences> preferences = Preferences::create(foundation::UserDefaults::create(dir / "d.json"));
    std::shared_ptr<DocumentsClient> client = DocumentsClient::create(preferences);
};

TEST_F(DocumentsClientTest, ListsFoldersVideosAndSubtitlesOnly) {
    writeFile(documents / "a.MKV", "x");
    writeFile(documents / "b.srt", "x");
    writeFile(documents / "c.txt", "x");
    writeFile(documents / ".hidden.mp4", "x");
    writeFile(documents / "noextension", "x");
    writeFile(documents / "Inbox" / "sent.mp4", "x");
    writeFile(documents / "Films" / "inside.mp4", "x");
    writeFile(documents / "Mixed.Mp4", "x");
    writeFile(documents / "Upper.VTT", "x");
    ASSERT_EQ(::mkfifo((documents / "pipe.mp4").c_str(), 0600), 0);

    auto items = client->contents(urlOf(documents), false);
    EXPECT_EQ(kinds(items),
              (std::map<std::string, char>{
                  {"a.MKV", 'V'}, {"b.srt", 'S'}, {"Films", 'F'}, {"Mixed.Mp4", 'V'}, {"Upper.VTT", 'S'}}));
    for (const auto& item : items) {
        EXPECT_FALSE(item->isSecurityScoped());
        if (auto folder = std::dynamic_pointer_cast<Folder>(item)) {
            EXPECT_TRUE(folder->contents().empty());
        }
        if (auto video = std::dynamic_pointer_cast<Video>(item)) {
            EXPECT_FALSE(video->duration());
            EXPECT_FALSE(video->size());
            EXPECT_FALSE(video->externalSubtitles());
            EXPECT_FALSE(video->image());
        }
    }
}

TEST_F(DocumentsClientTest, LinksCountAsWhatTheyNameAndLinksToPipesOrDevicesAreSkipped) {
    writeFile(dir / "outside" / "real.mp4", "x");
    ASSERT_EQ(::mkfifo((dir / "outside" / "pipe").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir / "outside" / "real.mp4", documents / "linked.mp4");
    std::filesystem::create_symlink(dir / "outside" / "pipe", documents / "pipe.mp4");
    std::filesystem::create_symlink("/dev/zero", documents / "device.mkv");
    std::filesystem::create_symlink(dir / "outside" / "pipe", documents / "pipe.srt");

    EXPECT_EQ(kinds(client->contents(urlOf(documents), false)), (std::map<std::string, char>{{"linked.mp4", 'V'}}));
    std::filesystem::create_directory(documents / "Deeper");
    std::filesystem::create_symlink(dir / "outside" / "pipe", documents / "Deeper" / "pipe.mp4");
    EXPECT_EQ(kinds(client->allItems(urlOf(documents))),
              (std::map<std::string, char>{{"Deeper", 'F'}, {"linked.mp4", 'V'}}));
}

TEST_F(DocumentsClientTest, EveryExtensionIsRecognisedInAnyCase) {
    // Spelled out here, so a mistyped or missing extension in the client shows.
    EXPECT_EQ(DocumentsClient::videoExtensions(),
              (std::vector<std::string>{"mkv",  "mp4",  "m4v", "mpg4", "webm", "avi",  "vfw",  "ts",  "mts",
                                        "m2ts", "mov",  "qt",  "mpg",  "mpeg", "wmv",  "divx", "flv", "f4v",
                                        "rm",   "rmvb", "vob", "asf",  "3gp",  "3gpp", "3g2",  "3gp2"}));
    EXPECT_EQ(DocumentsClient::subtitleExtensions(), (std::vector<std::string>{"ass", "ssa", "srt", "vtt"}));
    for (const auto& extension : DocumentsClient::videoExtensions()) {
        std::string upper = extension;
        std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
        writeFile(documents / ("v-" + extension + "." + upper), "x");
    }
    for (const auto& extension : DocumentsClient::subtitleExtensions()) writeFile(documents / ("s." + extension), "x");
    auto listed = kinds(client->contents(urlOf(documents), false));
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(), [](auto& e) { return e.second == 'V'; }), 26);
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(), [](auto& e) { return e.second == 'S'; }), 4);
}

TEST_F(DocumentsClientTest, RecursiveListingsFillFoldersAndOnlyTheTopInboxIsSkipped) {
    writeFile(documents / "Films" / "Inbox" / "x.mp4", "x");
    writeFile(documents / "Films" / "y.webm", "x");
    auto items = client->contents(urlOf(documents), true);
    ASSERT_EQ(items.size(), 1u);
    auto films = std::dynamic_pointer_cast<Folder>(items[0]);
    ASSERT_TRUE(films);
    auto inside = films->contents();
    EXPECT_EQ(kinds(inside), (std::map<std::string, char>{{"Inbox", 'F'}, {"y.webm", 'V'}}));
    for (const auto& item : inside) {
        if (auto inbox = std::dynamic_pointer_cast<Folder>(item)) {
            EXPECT_EQ(inbox->contents().size(), 1u);
        }
    }
}

TEST_F(DocumentsClientTest, ListingsGiveStableIds) {
    writeFile(documents / "a.mp4", "x");
    auto first = client->contents(urlOf(documents), false);
    auto second = client->contents(urlOf(documents), false);
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0]->id(), second[0]->id());
}

// Makes the status-change time of `later` later than that of `earlier`: file times come from a
// coarse clock, so files made one after the other can share one. Each chmod sets it anew.
void changeLater(const std::filesystem::path& later, const std::filesystem::path& earlier) {
    auto changed = [](const std::filesystem::path& path) {
        struct stat info {};
        EXPECT_EQ(::stat(path.c_str(), &info), 0);
        return std::pair(info.st_ctim.tv_sec, info.st_ctim.tv_nsec);
    };
    while (changed(later) <= changed(earlier)) ASSERT_EQ(::chmod(later.c_str(), 0644), 0);
}

// A copy made with its attributes (`cp -a`): the source's identifier, a later status change.
void copyWithIdentity(const std::filesystem::path& source, const std::filesystem::path& copy) {
    std::filesystem::copy_file(source, copy);
    char id[64];
    const ssize_t length = ::getxattr(source.c_str(), "user.reelhaven.UUID", id, sizeof id);
    ASSERT_EQ(length, 36);
    ASSERT_EQ(::setxattr(copy.c_str(), "user.reelhaven.UUID", id, 36, 0), 0);
    changeLater(copy, source);
}

std::map<std::string, std::string> idsByName(const std::vector<LibraryItemPtr>& items) {
    std::map<std::string, std::string> ids;
    for (const auto& item : items) ids[item->url().lastPathComponent()] = item->id().uuidString();
    return ids;
}

TEST_F(DocumentsClientTest, ACopyNamedBeforeItsSourceDoesNotTakeItsIdentity) {
    // As a restart finds them: the source's identifier on disk, no holder known to this process.
    const std::string id = foundation::UUID::random().uuidString();
    writeFile(documents / "b.mp4", "x");
    ASSERT_EQ(::setxattr((documents / "b.mp4").c_str(), "user.reelhaven.UUID", id.data(), id.size(), 0), 0);
    copyWithIdentity(documents / "b.mp4", documents / "A.mp4");
    std::filesystem::create_directory(documents / "Shows");
    copyWithIdentity(documents / "b.mp4", documents / "Shows" / "0.mp4");

    auto ids = idsByName(client->contents(urlOf(documents), true));
    EXPECT_EQ(ids["b.mp4"], id) << "the original keeps it";
    EXPECT_NE(ids["A.mp4"], id);
    for (const auto& [name, path] : {std::pair("b.mp4", documents / "b.mp4"), {"A.mp4", documents / "A.mp4"}}) {
        char stored[64];
        ASSERT_EQ(::getxattr(path.c_str(), "user.reelhaven.UUID", stored, sizeof stored), 36);
        EXPECT_EQ(std::string(stored, 36), ids[name]) << name << ": written, so the next start agrees";
    }
    EXPECT_EQ(idsByName(client->contents(urlOf(documents), false)), (std::map<std::string, std::string>{
                                                                        {"A.mp4", ids["A.mp4"]},
                                                                        {"Shows", ids["Shows"]},
                                                                        {"b.mp4", id},
                                                                    }));
    // The copy in a folder of its own is met later, while the original still carries it.
    const auto all = idsByName(client->allItems(urlOf(documents)));
    EXPECT_EQ(all.at("b.mp4"), id);
    EXPECT_NE(all.at("0.mp4"), id);
}

TEST_F(DocumentsClientTest, ACopyMadeBeforeItsSourceChangedLeavesTheIdentityToTheSourceMetFirst) {
    writeFile(documents / "b.mp4", "x");
    const auto id = client->contents(urlOf(documents), false).at(0)->id();
    copyWithIdentity(documents / "b.mp4", documents / "A.mp4");
    changeLater(documents / "b.mp4", documents / "A.mp4");  // the source renamed or touched since
    auto ids = idsByName(client->contents(urlOf(documents), false));
    EXPECT_EQ(ids["b.mp4"], id.uuidString()) << "the holder the library knew";
    EXPECT_NE(ids["A.mp4"], id.uuidString());
}

TEST_F(DocumentsClientTest, ListingsOnSeveralThreadsAgreeWhichCopyKeepsTheIdentity) {
    const std::string id = foundation::UUID::random().uuidString();
    writeFile(documents / "b.mp4", "x");
    ASSERT_EQ(::setxattr((documents / "b.mp4").c_str(), "user.reelhaven.UUID", id.data(), id.size(), 0), 0);
    for (const char* copy : {"A.mp4", "0.mp4", "a.mp4"}) copyWithIdentity(documents / "b.mp4", documents / copy);
    std::vector<std::map<std::string, std::string>> seen(4);
    std::vector<std::thread> threads;
    for (auto& ids : seen) threads.emplace_back([&] { ids = idsByName(client->contents(urlOf(documents), false)); });
    for (auto& thread : threads) thread.join();
    for (const auto& ids : seen) {
        EXPECT_EQ(ids.at("b.mp4"), id);
        EXPECT_EQ(ids, seen[0]) << "every listing gives each file the identifier it carries";
    }
    std::set<std::string> distinct;
    for (const auto& [name, uuid] : seen[0]) distinct.insert(uuid);
    EXPECT_EQ(distinct.size(), 4u);
}

TEST_F(DocumentsClientTest, ListingsMarkListedEntriesByTheBackupSetting) {
    writeFile(documents / "a.mp4", "x");
    writeFile(documents / "b.ass", "x");
    writeFile(documents / "c.txt", "x");
    std::filesystem::create_directory(documents / "Films");
    const std::filesystem::path listed[] = {documents / "a.mp4", documents / "b.ass", documents / "Films"};

    preferences->icloudBackup.setWrappedValue(true);
    client->contents(urlOf(documents), false);
    for (const auto& path : listed) EXPECT_FALSE(excludedFromBackup(path)) << path;
    EXPECT_EQ(attributeNames(documents / "c.txt"), std::vector<std::string>{}) << "skipped entries are not touched";

    preferences->icloudBackup.setWrappedValue(false);
    client->contents(urlOf(documents), false);
    for (const auto& path : listed) EXPECT_TRUE(excludedFromBackup(path)) << path;
}

TEST_F(DocumentsClientTest, ListingsAddNoDiskBlockToTheUsersItemsOnExt4) {
    struct statfs volume {};
    ASSERT_EQ(::statfs(documents.c_str(), &volume), 0);
    if (volume.f_type != kExtSuperMagic) GTEST_SKIP() << "not an ext4 volume";
    writeFile(documents / "probe", "");
    const std::string uuid(36, 'A');
    ASSERT_EQ(::setxattr((documents / "probe").c_str(), "user.reelhaven.UUID", uuid.data(), uuid.size(), 0), 0);
    if (blocks(documents / "probe") != 0) GTEST_SKIP() << "the inodes hold no attributes";
    std::filesystem::remove(documents / "probe");

    writeFile(documents / "empty.mp4", "");
    writeFile(documents / "empty.srt", "");
    writeFile(documents / "older.mp4", "");
    // Listed by an older build, which gave it an identity, then marked it excluded with an
    // attribute of its own: that one took a block.
    const std::string older = foundation::UUID::random().uuidString();
    ASSERT_EQ(::setxattr((documents / "older.mp4").c_str(), "user.reelhaven.UUID", older.data(), older.size(), 0), 0);
    ASSERT_EQ(::setxattr((documents / "older.mp4").c_str(), "user.reelhaven.excludedFromBackup", "1", 1, 0), 0);
    ASSERT_GT(blocks(documents / "older.mp4"), 0);
    std::filesystem::create_directory(documents / "Films");
    const auto folderBlocks = blocks(documents / "Films");

    EXPECT_EQ(client->contents(urlOf(documents), false).size(), 4u);
    EXPECT_EQ(blocks(documents / "empty.mp4"), 0);
    EXPECT_EQ(blocks(documents / "empty.srt"), 0);
    EXPECT_EQ(blocks(documents / "older.mp4"), 0);
    EXPECT_EQ(blocks(documents / "Films"), folderBlocks);
    EXPECT_TRUE(excludedFromBackup(documents / "empty.mp4"));
}

TEST_F(DocumentsClientTest, AnUnreadableFolderListsAsNothing) {
    EXPECT_TRUE(client->contents(urlOf(documents / "missing"), false).empty());
    EXPECT_TRUE(client->allItems(urlOf(documents / "missing")).empty());
}

TEST_F(DocumentsClientTest, AnEntryThatCannotBeExaminedIsSkippedAlone) {
    // A folder whose path is just short enough to list, holding an entry whose full path is too
    // long to examine (ENAMETOOLONG), sorted before one that is fine.
    std::filesystem::path deep = documents / "Deep";
    while (deep.string().size() < PATH_MAX - 250) deep /= std::string(200, 'd');
    std::filesystem::create_directories(deep);
    writeFile(deep / "c.mp4", "x");
    const std::string longName = std::string(250, 'b') + ".mp4";
    const int folder = ::open(deep.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    const int file = ::openat(folder, longName.c_str(), O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ::close(file);
    ASSERT_LT(::access((deep / longName).c_str(), F_OK), 0) << "the long entry must not be reachable by its path";

    EXPECT_EQ(kinds(client->contents(urlOf(deep), false)), (std::map<std::string, char>{{"c.mp4", 'V'}}));
    auto all = client->allItems(urlOf(documents));
    EXPECT_TRUE(
        std::any_of(all.begin(), all.end(), [](auto& item) { return item->url().lastPathComponent() == "c.mp4"; }));

    ::unlinkat(folder, longName.c_str(), 0);
    ::close(folder);
}

TEST_F(DocumentsClientTest, AllItemsListsFoldersAndVideosBeneath) {
    writeFile(documents / "x" / "y.mp4", "x");
    writeFile(documents / "x" / "z.srt", "x");
    writeFile(documents / "Inbox" / "w.mkv", "x");
    writeFile(documents / ".hidden" / "h.mkv", "x");
    auto items = client->allItems(urlOf(documents));
    EXPECT_EQ(kinds(items), (std::map<std::string, char>{{"x", 'F'}, {"y.mp4", 'V'}, {"Inbox", 'F'}, {"w.mkv", 'V'}}));
}

TEST_F(DocumentsClientTest, MovesIntoDocumentsUnderAFreeNameWithoutEverOverwriting) {
    writeFile(dir / "elsewhere" / "movie.mp4", "new");
    auto moved = client->moveIntoDocuments(urlOf(dir / "elsewhere" / "movie.mp4"));
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->path(), (documents / "movie.mp4").string());
    EXPECT_EQ(readFile(documents / "movie.mp4"), "new");

    // A taken name moves on to the next free numbered one; nothing is replaced.
    writeFile(dir / "elsewhere" / "movie.mp4", "second");
    writeFile(documents / "movie (1).mp4", "taken");
    moved = client->moveIntoDocuments(urlOf(dir / "elsewhere" / "movie.mp4"));
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->path(), (documents / "movie (2).mp4").string());
    EXPECT_EQ(readFile(documents / "movie.mp4"), "new");
    EXPECT_EQ(readFile(documents / "movie (1).mp4"), "taken");
    EXPECT_EQ(readFile(documents / "movie (2).mp4"), "second");
    EXPECT_FALSE(std::filesystem::exists(dir / "elsewhere" / "movie.mp4"));

    writeFile(dir / "elsewhere" / "notes", "no extension");
    writeFile(documents / "notes", "taken");
    moved = client->moveIntoDocuments(urlOf(dir / "elsewhere" / "notes"));
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->path(), (documents / "notes (1)").string());

    EXPECT_FALSE(client->moveIntoDocuments(urlOf(dir / "elsewhere" / "gone.mp4")));

    EXPECT_EQ(client->moveIntoDocuments(urlOf(documents / "movie.mp4")), urlOf(documents / "movie.mp4"));
}

// Only a file handed over as a copy moves in: a folder (with its tree), a pipe, a link or a file
// of the system's /proc stays where it is, and no copy of it appears in Documents.
TEST_F(DocumentsClientTest, MovesNothingButARegularFileIntoDocuments) {
    const auto elsewhere = dir / "elsewhere";
    writeFile(elsewhere / "Films" / "Inner" / "a.mp4", "a");
    ASSERT_EQ(::mkfifo((elsewhere / "pipe.mp4").c_str(), 0644), 0);
    writeFile(elsewhere / "target.mp4", "t");
    std::filesystem::create_symlink(elsewhere / "target.mp4", elsewhere / "link.mp4");
    for (const auto& source : {elsewhere / "Films", elsewhere / "pipe.mp4", elsewhere / "link.mp4",
                               std::filesystem::path("/proc/self/environ")}) {
        EXPECT_FALSE(client->moveIntoDocuments(urlOf(source))) << source;
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(source))) << source;
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(documents / source.filename()))) << source;
    }
    EXPECT_EQ(readFile(elsewhere / "Films" / "Inner" / "a.mp4"), "a");
    EXPECT_TRUE(std::filesystem::is_fifo(elsewhere / "pipe.mp4"));
}

// What a picker's copy leaves once imported or skipped goes (the copy, then its emptied folder);
// anything that is no such copy stays, whatever its name.
TEST_F(DocumentsClientTest, RemovesOnlyWhatAPickersCopyLeaves) {
    const auto inbox = container.container().folder(SearchPathDirectory::temporary) / "Inbox";
    writeFile(inbox / "A" / "skipped.mp4", "copy");
    std::filesystem::create_directories(inbox / "B");  // its copy was moved away
    writeFile(inbox / "C" / "shared.mp4", "copy");
    writeFile(inbox / "C" / "other.mp4", "another copy");
    writeFile(inbox / "loose.mp4", "not in a copy's folder");
    writeFile(documents / "Inbox" / "X" / "sent.mp4", "another app's");
    writeFile(dir / "outside" / "Y" / "original.mp4", "the user's");
    for (const auto& url :
         {inbox / "A" / "skipped.mp4", inbox / "B" / "moved.mp4", inbox / "C" / "shared.mp4", inbox / "loose.mp4",
          documents / "Inbox" / "X" / "sent.mp4", dir / "outside" / "Y" / "original.mp4"})
        client->removePickedCopy(urlOf(url));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        if (entry.is_regular_file() && entry.path().extension() == ".mp4")
            left.push_back(std::filesystem::relative(entry.path(), dir.path()).string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"home/Documents/Inbox/X/sent.mp4", "home/tmp/Inbox/C/other.mp4",
                                              "home/tmp/Inbox/loose.mp4", "outside/Y/original.mp4"}));
    EXPECT_FALSE(std::filesystem::exists(inbox / "A"));
    EXPECT_FALSE(std::filesystem::exists(inbox / "B"));
}

TEST_F(DocumentsClientTest, RenamesKeepingTheExtension) {
    writeFile(documents / "clip.mp4", "x");
    EXPECT_TRUE(client->renameKeepingExtension(urlOf(documents / "clip.mp4"), "clip"));
    EXPECT_TRUE(std::filesystem::exists(documents / "clip.mp4"));
    EXPECT_TRUE(client->renameKeepingExtension(urlOf(documents / "clip.mp4"), "holiday"));
    EXPECT_TRUE(std::filesystem::exists(documents / "holiday.mp4"));
    EXPECT_FALSE(std::filesystem::exists(documents / "clip.mp4"));

    writeFile(documents / "other.mp4", "y");
    EXPECT_FALSE(client->renameKeepingExtension(urlOf(documents / "other.mp4"), "holiday"));
    EXPECT_EQ(readFile(documents / "holiday.mp4"), "x");
}

TEST_F(DocumentsClientTest, RenamesKeepingTheExtensionRefuseNamesThatLeaveTheFolderOrHide) {
    std::filesystem::create_directories(documents / "Films" / "Sub");
    writeFile(documents / "Films" / "clip.mp4", "x");
    const URL clip = urlOf(documents / "Films" / "clip.mp4");
    // "" would give the hidden ".mp4", "a\0b" the extensionless "a"; "/" and ".." leave the folder.
    for (const std::string& name : {std::string(""), std::string(".hidden"), std::string("../Escaped"),
                                    std::string("Sub/clip"), std::string("a\0b", 3)})
        EXPECT_FALSE(client->renameKeepingExtension(clip, name)) << name;
    std::vector<std::string> left;
    for (auto& entry : std::filesystem::recursive_directory_iterator(documents))
        left.push_back(entry.path().lexically_relative(documents));
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Films", "Films/Sub", "Films/clip.mp4"}));
}

TEST_F(DocumentsClientTest, RenamesRefuseHiddenEmptyAndPathNames) {
    std::filesystem::create_directory(documents / "Films");
    std::filesystem::create_directory(documents / "Other");
    const URL films = urlOf(documents / "Films");
    EXPECT_FALSE(client->rename(films, ".Films"));
    EXPECT_FALSE(client->rename(films, ""));
    EXPECT_FALSE(client->rename(films, "Other/Films"));
    EXPECT_FALSE(client->rename(films, std::string("Mo\0vies", 7)));
    EXPECT_FALSE(client->rename(films, "Other"));
    EXPECT_TRUE(std::filesystem::is_directory(documents / "Films"));
    EXPECT_TRUE(client->rename(films, "Films"));
    EXPECT_TRUE(client->rename(films, "Movies"));
    EXPECT_TRUE(std::filesystem::is_directory(documents / "Movies"));
}

TEST_F(DocumentsClientTest, CreatesFoldersExcludedFromBackup) {
    EXPECT_TRUE(client->createFolder(urlOf(documents / "New")));
    EXPECT_TRUE(excludedFromBackup(documents / "New"));
    EXPECT_FALSE(client->createFolder(urlOf(documents / "New")));
    EXPECT_FALSE(client->createFolder(urlOf(documents / "a" / "b")));
}

TEST_F(DocumentsClientTest, ScreenshotsFolderIsMadeOnDemand) {
    auto url = client->screenshotsURL();
    EXPECT_EQ(url.path(), (caches / "Screenshots").string());
    EXPECT_TRUE(std::filesystem::is_directory(caches / "Screenshots"));
    EXPECT_EQ(client->screenshotsURL().path(), url.path());
}

TEST_F(DocumentsClientTest, CacheSizeCountsOnlyVisibleTopLevelFiles) {
    writeFile(caches / "thumb", std::string(10000, 'x'));
    writeFile(caches / ".hidden", std::string(50000, 'x'));
    writeFile(caches / "Screenshots" / "shot.png", std::string(50000, 'x'));
    struct stat info {};
    ASSERT_EQ(::stat((caches / "thumb").c_str(), &info), 0);
    EXPECT_EQ(client->cacheSize(), static_cast<std::uint64_t>(info.st_blocks) * 512);
    EXPECT_GT(client->cacheSize(), 0u);
}

TEST_F(DocumentsClientTest, ClearingCachesKeepsSnapshots) {
    writeFile(caches / "E621E1F8-C36C-495A-93FC-0C247A3E6E5F", "png");
    writeFile(caches / ".hidden", "x");
    writeFile(caches / "Screenshots" / "shot.png", "x");
    writeFile(caches / "Snapshots" / "scene.png", "x");
    EXPECT_TRUE(client->clearCaches());
    std::vector<std::string> left;
    for (auto& entry : std::filesystem::directory_iterator(caches)) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"Snapshots"});
    EXPECT_TRUE(std::filesystem::exists(caches / "Snapshots" / "scene.png"));
    EXPECT_TRUE(client->clearCaches());
}

TEST_F(DocumentsClientTest, CachedImagesAreWrittenAsPNGAndRemoved) {
    gfx::Image image(4, 2);
    image.fill(gfx::Color{1, 0, 0, 1});
    EXPECT_TRUE(client->saveCachedImage("thumb", image));
    auto decoded = gfx::PngCodec::decode(readFile(caches / "thumb"));
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, image);

    EXPECT_FALSE(client->saveCachedImage("empty", gfx::Image()));
    EXPECT_FALSE(std::filesystem::exists(caches / "empty"));
    EXPECT_FALSE(client->saveCachedImage("no-such-folder/thumb", image));

    EXPECT_TRUE(client->removeCachedItem("thumb"));
    EXPECT_FALSE(client->removeCachedItem("thumb"));
}

TEST_F(DocumentsClientTest, ThumbnailWritesOfAKilledRunAreSweptAtStartAndLiveOnesStay) {
    const std::string id = "E621E1F8-C36C-495A-93FC-0C247A3E6E5F";
    writeFile(caches / id, "png");
    writeFile(caches / ("." + id + ".k1LLed"), "half a thumbnail");
    writeFile(caches / ".E621E1F8-C36C-495A-93FC-0C247A3E6E5F.w0rk1n", "a thumbnail being written");
    writeFile(caches / ".notes.k1LLed", "not a thumbnail's");
    writeFile(caches / "Screenshots" / ("." + id + ".k1LLed"), "not in the folder of thumbnails");
    // A live writer holds a lock on its temporary until the rename.
    const int live = ::open((caches / ("." + id + ".w0rk1n")).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(live, 0);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);

    (void)DocumentsClient::create(preferences);  // as a run starts
    std::vector<std::string> left;
    for (auto& entry : std::filesystem::directory_iterator(caches)) left.push_back(entry.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"." + id + ".w0rk1n", ".notes.k1LLed", id, "Screenshots"}));
    EXPECT_TRUE(std::filesystem::exists(caches / "Screenshots" / ("." + id + ".k1LLed")));
    ::close(live);
    EXPECT_EQ(client->removeAbandonedThumbnailTemporaries(), 1u) << "its writer is gone";
}

TEST_F(DocumentsClientTest, WithoutAContainerEverythingFailsQuietly) {
    foundation::Container::setCurrent(nullptr);
    EXPECT_TRUE(client->documentsURL().isEmpty());
    EXPECT_TRUE(client->screenshotsURL().isEmpty());
    EXPECT_EQ(client->cacheSize(), 0u);
    EXPECT_FALSE(client->clearCaches());
    EXPECT_FALSE(client->removeCachedItem("x"));
}

}  // namespace
}  // namespace reelhaven
