// Loading and merging listings, folder contents and subtitle attachment.

#include <sys/xattr.h>

#include <atomic>
#include <thread>

#include "core/file_identity.h"
#include "core/folder.h"
#include "video_manager_fixture.h"

namespace reelhaven::video_manager_test {
namespace {

using Names = std::vector<std::string>;

TEST_F(VideoManagerTest, FirstUpdateSortsByNaturalOrderAndTellsInitialLoadOnce) {
    makeFile("Episode 10.mp4");
    makeFile("Episode 2.mkv");
    makeFile("episode 1.mp4");
    makeFolder("Bonus");
    makeFile("Episode 2.srt");

    listDocuments();

    EXPECT_EQ(libraryNames(), (Names{"Bonus", "episode 1", "Episode 2", "Episode 10"}));
    EXPECT_EQ(delegate->initialLoads(), 1);
    EXPECT_EQ(delegate->libraryChanges(), 0);
    EXPECT_FALSE(manager->initialLoad());
    ASSERT_EQ(manager->externalSubtitles().size(), 1u);
    EXPECT_EQ(manager->externalSubtitles()[0]->displayName(), "Episode 2");
}

TEST_F(VideoManagerTest, MergingAChangedListingKeepsUnchangedObjects) {
    makeFile("b.mp4");
    makeFile("d.mp4");
    makeFile("gone.mp4");
    makeFolder("Folder 10");
    listDocuments();
    flush();
    const auto b = item("b");
    const auto d = item("d");
    const auto folder = item("Folder 10");

    std::filesystem::remove(documents / "gone.mp4");
    makeFile("a.mp4");
    makeFolder("Folder 9");
    listDocuments();

    EXPECT_EQ(libraryNames(), (Names{"a", "b", "d", "Folder 9", "Folder 10"}));
    EXPECT_EQ(item("b").get(), b.get());
    EXPECT_EQ(item("d").get(), d.get());
    EXPECT_EQ(item("Folder 10").get(), folder.get());
    EXPECT_EQ(delegate->initialLoads(), 1);
    EXPECT_EQ(delegate->libraryChanges(), 1);
}

TEST_F(VideoManagerTest, AVideoRenamedOutsideKeepsItsIdAndThumbnailUnderANewObject) {
    copyClip("wide.mp4", "Film.mp4");
    makeFile("Middle.mp4");
    listDocuments();
    flush();
    const auto old = video("Film");
    ASSERT_TRUE(old && old->image());

    std::filesystem::rename(documents / "Film.mp4", documents / "Zebra.mp4");
    listDocuments();
    flush();

    EXPECT_EQ(libraryNames(), (Names{"Middle", "Zebra"}));
    const auto renamed = video("Zebra");
    ASSERT_TRUE(renamed);
    EXPECT_NE(renamed.get(), old.get());
    EXPECT_EQ(renamed->id(), old->id());
    EXPECT_EQ(renamed->image(), old->image());  // the same image, from the memory cache
}

TEST_F(VideoManagerTest, AnUnchangedListingCallsNoDelegateAndStartsNoPass) {
    makeFile("Film.mp4");
    makeFile("Film.srt");
    makeFolder("Shows");
    makeFile("Shows/one.mp4");
    int passes = 0;
    manager->setOnMetadataPassProgress([&](const VideoManager::MetadataPassProgress& progress) {
        if (progress.finished) ++passes;
    });
    listDocuments();
    flush();
    ASSERT_EQ(passes, 1);
    EXPECT_EQ(delegate->changedFolders(), Names{"Shows"});
    delegate->reset();

    listDocuments();
    flush();

    EXPECT_EQ(passes, 1);
    EXPECT_EQ(delegate->libraryChanges(), 0);
    EXPECT_EQ(delegate->initialLoads(), 0);
    EXPECT_TRUE(delegate->changedFolders().empty());

    // Only the sub-folder whose listing changed is reported.
    makeFile("Shows/two.mp4");
    listDocuments();
    flush();
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(delegate->libraryChanges(), 0);
    EXPECT_EQ(delegate->changedFolders(), Names{"Shows"});
}

TEST_F(VideoManagerTest, TwoFilesSharingAnIdAndANameStayListedAcrossUpdates) {
    // A copy that kept its extended attributes under another extension: same id, same display
    // name, another file.
    makeFile("Film.mkv");
    makeFile("Film.mp4");
    const std::string id = FileIdentity::identify((documents / "Film.mkv").string()).uuidString();
    ASSERT_EQ(::setxattr((documents / "Film.mp4").c_str(), FileIdentity::kAttributeName, id.data(), id.size(), 0), 0);

    for (int round = 0; round < 3; ++round) {
        listDocuments();
        EXPECT_EQ(libraryNames(), (Names{"Film", "Film"})) << "round " << round;
    }
    EXPECT_EQ(delegate->libraryChanges(), 0);
    flush();
}

TEST_F(VideoManagerTest, AChangedSubtitleFileCountsAsAChange) {
    makeFile("Film.mp4");
    makeFile("Film.srt");
    listDocuments();
    flush();
    EXPECT_EQ(subtitleNames(*video("Film")), Names{"Film"});

    std::filesystem::remove(documents / "Film.srt");
    listDocuments();
    flush();

    EXPECT_EQ(delegate->libraryChanges(), 1);
    EXPECT_TRUE(manager->externalSubtitles().empty());
    EXPECT_FALSE(video("Film")->externalSubtitles());
}

TEST_F(VideoManagerTest, AFolderOfOnlySubtitlesLoadsEmptyOnce) {
    makeFile("a.srt");
    makeFile("b.vtt");
    listDocuments();
    EXPECT_TRUE(manager->library().empty());
    EXPECT_EQ(delegate->initialLoads(), 1);
    EXPECT_EQ(manager->externalSubtitles().size(), 2u);

    listDocuments();
    EXPECT_EQ(delegate->initialLoads(), 1);
    EXPECT_EQ(delegate->libraryChanges(), 0);
}

TEST_F(VideoManagerTest, AnEmptyListingEmptiesTheLibrary) {
    makeFile("a.mp4");
    listDocuments();
    manager->update({});
    EXPECT_TRUE(manager->library().empty());
    EXPECT_EQ(delegate->libraryChanges(), 1);
}

TEST_F(VideoManagerTest, ConcurrentFirstUpdatesAppendTheListingOnce) {
    for (int i = 0; i < 30; ++i) makeFile("clip " + std::to_string(i) + ".mp4");
    makeFolder("Folder");
    const auto items = listing(documents);
    for (int round = 0; round < 10; ++round) {
        auto fresh = VideoManager::create(documentsClient, progressClient);
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&] {
                while (!go) std::this_thread::yield();
                fresh->update(items);
            });
        }
        go = true;
        for (auto& thread : threads) thread.join();
        EXPECT_EQ(fresh->library().size(), 31u);
        flush(*fresh);
    }
}

TEST_F(VideoManagerTest, ReloadAndFolderManagerListTheirFolders) {
    makeFile("top.mp4");
    makeFile("Shows/inside.mp4");
    auto folderManager =
        VideoManager::create(documentsClient, progressClient, manager->thumbnailCache(), urlOf(documents / "Shows"));
    folderManager->setParent(manager);
    flush(*folderManager);
    EXPECT_EQ(names(folderManager->library()), Names{"inside"});
    EXPECT_EQ(folderManager->parent(), manager);
    EXPECT_EQ(folderManager->thumbnailCache(), manager->thumbnailCache());

    manager->reload();
    flush();
    EXPECT_EQ(libraryNames(), (Names{"Shows", "top"}));
    EXPECT_EQ(delegate->initialLoads(), 1);
}

// --- Folder contents ---

TEST_F(VideoManagerTest, AFolderWithFewVideosShowsTheVideosAtAnyDepth) {
    makeFile("Shows/b.mp4");
    makeFile("Shows/a.mp4");
    makeFile("Shows/a.srt");
    makeFile("Shows/Season/e3.mp4");
    makeFile("Shows/Season/e1.mp4");
    makeFile("Shows/Season/Deeper/e2.mkv");
    auto folder = Folder::create(urlOf(documents / "Shows"), LibraryItemType::folder, false);

    ASSERT_EQ(manager->contents(folder), folder);
    EXPECT_EQ(names(folder->contents()), (Names{"a", "b", "e1", "e2", "e3"}));
    // The same listing again is no change.
    EXPECT_EQ(manager->contents(folder), nullptr);
}

TEST_F(VideoManagerTest, AFolderWithFourVideosShowsOnlyThose) {
    for (const char* name : {"d.mp4", "c.mp4", "b.mp4", "a.mp4", "Inner/deep.mp4"})
        makeFile(std::string("Shows/") + name);
    auto folder = Folder::create(urlOf(documents / "Shows"), LibraryItemType::folder, false);
    ASSERT_TRUE(manager->contents(folder));
    EXPECT_EQ(names(folder->contents()), (Names{"a", "b", "c", "d"}));
}

TEST_F(VideoManagerTest, AFolderWithoutVideosShowsItsSortedListing) {
    makeFile("Shows/notes.srt");
    makeFolder("Shows/Empty 10");
    makeFolder("Shows/Empty 9");
    auto folder = Folder::create(urlOf(documents / "Shows"), LibraryItemType::folder, false);
    ASSERT_TRUE(manager->contents(folder));
    EXPECT_EQ(names(folder->contents()), (Names{"Empty 9", "Empty 10", "notes"}));

    makeFile("Shows/new.mp4");
    ASSERT_TRUE(manager->contents(folder));
    EXPECT_EQ(names(folder->contents()), Names{"new"});
}

// --- Subtitles and metadata ---

TEST_F(VideoManagerTest, SubtitlesAttachByACaseSensitiveSubstringOfTheirName) {
    makeFile("Film.mkv");
    makeFile("Fil.mp4");
    makeFile("Film 2.mkv");
    makeFile("film.mp4");
    makeFile("Film.srt");
    makeFile("Film.en.srt");
    listDocuments();
    flush();

    EXPECT_EQ(subtitleNames(*video("Film")), (Names{"Film.en", "Film"}));  // listing order
    EXPECT_EQ(subtitleNames(*video("Fil")), (Names{"Film.en", "Film"}));
    EXPECT_TRUE(subtitleNames(*video("Film 2")).empty());
    EXPECT_TRUE(subtitleNames(*video("film")).empty());
}

TEST_F(VideoManagerTest, TheMetadataPassFillsDurationsSizesAndThumbnails) {
    copyClip("wide.mp4", "Wide.mp4");
    copyClip("classic.mkv", "Classic.mkv");
    makeFile("Broken.mp4", "not a video");
    makeFile("Gone.mp4");
    {
        QueueGate gate(manager->videoManagerQueue());
        listDocuments();
        std::filesystem::remove(documents / "Gone.mp4");
    }
    flush();

    const auto wide = video("Wide");
    ASSERT_TRUE(wide->duration());
    EXPECT_NEAR(wide->duration()->seconds, 4.0, 0.1);
    EXPECT_EQ(wide->size(), allocatedBytes(documents / "Wide.mp4"));
    EXPECT_GT(wide->size().value_or(0), 0u);
    ASSERT_TRUE(wide->image());
    EXPECT_EQ(wide->image()->width(), 640);
    EXPECT_NEAR(video("Classic")->duration()->seconds, 3.0, 0.1);

    const auto broken = video("Broken");
    EXPECT_FALSE(broken->duration());
    EXPECT_FALSE(broken->image());
    EXPECT_GT(broken->size().value_or(0), 0u);
    EXPECT_EQ(video("Gone")->size(), 0u);
}

// --- Concurrency ---

TEST_F(VideoManagerTest, ListingsPassesAndFileOperationsRunTogether) {
    copyClip("wide.mp4", "Film.mp4");
    makeFile("Film.srt");
    makeFolder("Shows");
    for (int i = 0; i < 6; ++i) makeFile("clip " + std::to_string(i) + ".mp4");
    listDocuments();
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    threads.emplace_back([&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 20; ++i) manager->reload();
    });
    threads.emplace_back([&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 10; ++i) manager->createFolder("Folder " + std::to_string(i));
    });
    threads.emplace_back([&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 10; ++i) {
            listDocuments();
            if (auto film = video("Film")) manager->thumbnail(film, [](const VideoPtr&, auto, auto) {});
            manager->nextVideo(*Video::create(urlOf(documents / "clip 1.mp4"), LibraryItemType::file, false));
        }
    });
    threads.emplace_back([&] {
        while (!go) std::this_thread::yield();
        for (int i = 0; i < 3; ++i) {
            const int at = position("clip " + std::to_string(i));
            if (at >= 0) manager->deleteItems({at});
        }
        manager->move(std::vector<int>{position("clip 5")}, urlOf(documents / "Shows"));
    });
    go = true;
    for (auto& thread : threads) thread.join();
    flush();
    manager->reload();
    flush();
    EXPECT_EQ(names(manager->library()), names([&] {
                  auto items = listing(documents);
                  std::erase_if(items,
                                [](const LibraryItemPtr& item) { return item->type() == LibraryItemType::subtitle; });
                  std::stable_sort(items.begin(), items.end(), VideoManager::nameOrder);
                  return items;
              }()));
}

}  // namespace
}  // namespace reelhaven::video_manager_test
