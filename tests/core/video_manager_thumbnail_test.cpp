// Thumbnails and durations: the three sources, the PNG file in Caches, joined and failed jobs.

#include <atomic>
#include <thread>

#include "core/video_manager_job_throttle.h"
#include "platform/graphics/png_codec.h"
#include "video_manager_fixture.h"

namespace reelhaven::video_manager_test {
namespace {

using Source = VideoManager::ThumbnailSource;

// Collects the answers to requests; safe from any thread.
struct Answers {
    struct Answer {
        VideoPtr video;
        std::shared_ptr<gfx::Image> image;
        Source source;
    };
    mutable std::mutex mutex;
    std::vector<Answer> thumbnails;
    std::vector<std::optional<double>> durations;

    VideoManager::ThumbnailCompletion thumbnail() {
        return [this](const VideoPtr& video, std::shared_ptr<gfx::Image> image, Source source) {
            std::lock_guard lock(mutex);
            thumbnails.push_back({video, std::move(image), source});
        };
    }
    VideoManager::DurationCompletion duration() {
        return [this](const VideoPtr&, std::optional<double> seconds) {
            std::lock_guard lock(mutex);
            durations.push_back(seconds);
        };
    }
    std::size_t thumbnailCount() const {
        std::lock_guard lock(mutex);
        return thumbnails.size();
    }
    std::size_t durationCount() const {
        std::lock_guard lock(mutex);
        return durations.size();
    }
};

class VideoManagerThumbnailTest : public VideoManagerTest {
protected:
    VideoPtr clip(const std::string& name, const std::string& source = "wide.mp4") {
        copyClip(source, name);
        return Video::create(urlOf(documents / name), LibraryItemType::file, false);
    }
    std::filesystem::path thumbnailFile(const Video& video) const { return caches / video.id().uuidString(); }
};

TEST_F(VideoManagerThumbnailTest, AGeneratedThumbnailIsCachedInMemoryAndSavedAsPng) {
    auto film = clip("Film.mp4");
    Answers answers;
    manager->thumbnail(film, answers.thumbnail());
    flush();

    ASSERT_EQ(answers.thumbnails.size(), 1u);
    EXPECT_EQ(answers.thumbnails[0].source, Source::generated);
    ASSERT_TRUE(answers.thumbnails[0].image);
    EXPECT_EQ(answers.thumbnails[0].image->width(), 640);
    EXPECT_EQ(answers.thumbnails[0].image->height(), 360);

    auto saved = gfx::PngCodec::decode(testing_support::readFile(thumbnailFile(*film)));
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, *answers.thumbnails[0].image);
    EXPECT_EQ(manager->thumbnailCache()->object(film->id().uuidString()), answers.thumbnails[0].image);

    // Now a memory hit, answered before the request returns.
    manager->thumbnail(film, answers.thumbnail());
    ASSERT_EQ(answers.thumbnailCount(), 2u);
    EXPECT_EQ(answers.thumbnails[1].source, Source::cache);
    EXPECT_EQ(answers.thumbnails[1].image, answers.thumbnails[0].image);
}

TEST_F(VideoManagerThumbnailTest, AThumbnailOnDiskIsReadAndNotWrittenBack) {
    auto film = clip("Film.mp4");
    gfx::Image stored(64, 36);
    stored.fill(gfx::Color{0, 0, 1, 1});
    const auto png = gfx::PngCodec::encode(stored);
    ASSERT_TRUE(png);
    testing_support::writeFile(thumbnailFile(*film), *png);
    const auto written = std::filesystem::last_write_time(thumbnailFile(*film));

    Answers answers;
    manager->thumbnail(film, answers.thumbnail());
    flush();

    ASSERT_EQ(answers.thumbnails.size(), 1u);
    EXPECT_EQ(answers.thumbnails[0].source, Source::disk);
    EXPECT_EQ(*answers.thumbnails[0].image, stored);
    EXPECT_EQ(testing_support::readFile(thumbnailFile(*film)), *png);
    EXPECT_EQ(std::filesystem::last_write_time(thumbnailFile(*film)), written);
    EXPECT_TRUE(manager->thumbnailCache()->object(film->id().uuidString()));
}

TEST_F(VideoManagerThumbnailTest, ALibraryLargerThanTheMemoryCacheKeepsOnlyWhatFitsAndReadsTheRestFromDisk) {
    // Room for two 640 x 360 thumbnails, a library of five videos.
    const std::size_t thumbnailBytes = 640 * 360 * 4;
    auto cache = ThumbnailCache::create(2 * thumbnailBytes);
    for (int i = 0; i < 5; ++i) copyClip("wide.mp4", "Film " + std::to_string(i) + ".mp4");
    auto folder = VideoManager::create(documentsClient, progressClient, cache, urlOf(documents));
    flush(*folder);

    EXPECT_EQ(cache->count(), 2u);
    EXPECT_LE(cache->totalCost(), 2 * thumbnailBytes);
    std::vector<VideoPtr> dropped;
    for (const auto& item : folder->library()) {
        auto video = std::dynamic_pointer_cast<Video>(item);
        ASSERT_TRUE(video);
        if (!video->image()) dropped.push_back(video);
    }
    ASSERT_EQ(dropped.size(), 3u) << "the videos keep no thumbnail the cache let go";

    Answers answers;
    folder->thumbnail(dropped[0], answers.thumbnail());
    flush(*folder);
    ASSERT_EQ(answers.thumbnails.size(), 1u);
    EXPECT_EQ(answers.thumbnails[0].source, Source::disk) << "read back, not decoded again";
    EXPECT_EQ(dropped[0]->image(), nullptr) << "the answer is the caller's to keep";
}

TEST_F(VideoManagerThumbnailTest, ACacheFileThatIsNoImageIsMadeAgainFromTheVideo) {
    auto film = clip("Film.mp4");
    testing_support::writeFile(thumbnailFile(*film), "not a png");

    Answers answers;
    manager->thumbnail(film, answers.thumbnail());
    flush();

    ASSERT_EQ(answers.thumbnails.size(), 1u);
    EXPECT_EQ(answers.thumbnails[0].source, Source::generated);
    EXPECT_TRUE(gfx::PngCodec::decode(testing_support::readFile(thumbnailFile(*film))));
}

TEST_F(VideoManagerThumbnailTest, EveryRequestThatJoinsARunningJobGetsItsResult) {
    auto film = clip("Film.mp4");
    // A second object for the same file, as after a rename: answered with its own object.
    auto again = Video::create(film->url(), LibraryItemType::file, false);
    ASSERT_EQ(again->id(), film->id());
    Answers answers;
    {
        QueueGate gate(manager->metadataQueue());
        for (int i = 0; i < 4; ++i) manager->thumbnail(film, answers.thumbnail());
        manager->thumbnail(again, answers.thumbnail());
        EXPECT_EQ(answers.thumbnailCount(), 0u);
    }
    flush();

    ASSERT_EQ(answers.thumbnails.size(), 5u);
    for (const auto& answer : answers.thumbnails) {
        EXPECT_EQ(answer.source, Source::generated);
        EXPECT_EQ(answer.image, answers.thumbnails[0].image);
        EXPECT_TRUE(answer.image);
    }
    EXPECT_EQ(answers.thumbnails[0].video, film);
    EXPECT_EQ(answers.thumbnails[4].video, again);
}

TEST_F(VideoManagerThumbnailTest, AFailedJobAnswersEveryWaiterAndIsNotTriedAgain) {
    auto broken = clip("Broken.mp4", "truncated.mp4");
    Answers answers;
    {
        QueueGate gate(manager->metadataQueue());
        for (int i = 0; i < 3; ++i) manager->thumbnail(broken, answers.thumbnail());
    }
    flush();
    ASSERT_EQ(answers.thumbnails.size(), 3u);
    for (const auto& answer : answers.thumbnails) {
        EXPECT_FALSE(answer.image);
        EXPECT_EQ(answer.source, Source::none);
    }

    // Later requests are answered at once, without a job: even a good file under that id now.
    std::filesystem::copy_file(testing_support::testMedia("wide.mp4"), documents / "Broken.mp4",
                               std::filesystem::copy_options::overwrite_existing);
    manager->thumbnail(broken, answers.thumbnail());
    ASSERT_EQ(answers.thumbnailCount(), 4u);
    EXPECT_EQ(answers.thumbnails[3].source, Source::none);
    EXPECT_FALSE(std::filesystem::exists(thumbnailFile(*broken)));
}

TEST_F(VideoManagerThumbnailTest, ManagersSharingACacheShareItsImages) {
    auto film = clip("Shows/Film.mp4");
    // The folder manager's first pass makes the image; the root manager then finds it in memory.
    auto folderManager =
        VideoManager::create(documentsClient, progressClient, manager->thumbnailCache(), urlOf(documents / "Shows"));
    flush(*folderManager);
    ASSERT_TRUE(std::filesystem::exists(thumbnailFile(*film)));
    Answers answers;
    manager->thumbnail(film, answers.thumbnail());
    ASSERT_EQ(answers.thumbnailCount(), 1u);
    EXPECT_EQ(answers.thumbnails[0].source, Source::cache);
    const auto listed = folderManager->library();
    ASSERT_EQ(names(listed), std::vector<std::string>{"Film"});
    EXPECT_EQ(answers.thumbnails[0].image, std::dynamic_pointer_cast<Video>(listed[0])->image());
}

TEST_F(VideoManagerThumbnailTest, DurationsJoinAndFailLikeThumbnails) {
    auto film = clip("Film.mp4");
    auto broken = clip("Broken.mp4", "truncated.mp4");
    Answers good;
    Answers bad;
    {
        QueueGate gate(manager->metadataQueue());
        for (int i = 0; i < 3; ++i) {
            manager->duration(film, good.duration());
            manager->duration(broken, bad.duration());
        }
    }
    flush();
    ASSERT_EQ(good.durations.size(), 3u);
    for (const auto& seconds : good.durations) EXPECT_NEAR(seconds.value_or(0), 4.0, 0.1);
    ASSERT_EQ(bad.durations.size(), 3u);
    for (const auto& seconds : bad.durations) EXPECT_FALSE(seconds);

    manager->duration(broken, bad.duration());
    ASSERT_EQ(bad.durationCount(), 4u);
    EXPECT_FALSE(bad.durations[3]);
    // A finished job is forgotten: the next request reads the file again.
    manager->duration(film, good.duration());
    flush();
    EXPECT_EQ(good.durationCount(), 4u);
}

TEST_F(VideoManagerThumbnailTest, ConcurrentRequestsStartOneJobAndAnswerEveryone) {
    auto film = clip("Film.mp4");
    Answers answers;
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 5; ++i) {
                manager->thumbnail(film, answers.thumbnail());
                manager->duration(film, answers.duration());
            }
        });
    }
    for (auto& thread : threads) thread.join();
    flush();
    ASSERT_EQ(answers.thumbnailCount(), 30u);
    ASSERT_EQ(answers.durationCount(), 30u);
    // One image for everyone: a request that misses the memory cache just before the image
    // enters it starts a job that finds it there, so the video is decoded once.
    for (const auto& answer : answers.thumbnails) {
        EXPECT_TRUE(answer.image);
        EXPECT_EQ(answer.image, answers.thumbnails[0].image);
    }
}

TEST_F(VideoManagerThumbnailTest, ClearingTheCacheMakesThumbnailsAgain) {
    copyClip("wide.mp4", "Film.mp4");
    listDocuments();
    flush();
    const auto old = video("Film");
    ASSERT_TRUE(std::filesystem::exists(thumbnailFile(*old)));
    std::filesystem::create_directories(caches / "Snapshots");
    std::filesystem::create_directories(caches / "Screenshots");
    int passes = 0;
    std::vector<Source> sources;
    manager->setOnMetadataPassProgress([&](const VideoManager::MetadataPassProgress& progress) {
        if (progress.thumbnailSource) sources.push_back(*progress.thumbnailSource);
        if (progress.finished) ++passes;
    });

    manager->clearCache();
    flush();

    EXPECT_TRUE(std::filesystem::exists(caches / "Snapshots"));
    EXPECT_FALSE(std::filesystem::exists(caches / "Screenshots"));
    EXPECT_EQ(delegate->libraryChanges(), 1);
    EXPECT_EQ(passes, 1);
    EXPECT_EQ(sources, std::vector<Source>{Source::generated});
    EXPECT_NE(video("Film").get(), old.get());
    EXPECT_TRUE(std::filesystem::exists(thumbnailFile(*old)));
}

TEST(VideoManagerJobThrottleTest, RunsAtMostItsWidthAtOnceAndEveryJobInTheEnd) {
    // Jobs touch the throttle after they end, so it lives as long as the process.
    static VideoManagerJobThrottle throttle(2);
    auto queue = dispatch::Queue::create("throttled", dispatch::QueueKind::concurrent);
    std::mutex mutex;
    std::condition_variable changed;
    int running = 0;
    int most = 0;
    int done = 0;
    for (int i = 0; i < 12; ++i) {
        throttle.submit(queue, [&] {
            {
                std::lock_guard lock(mutex);
                most = std::max(most, ++running);
            }
            std::this_thread::yield();
            std::lock_guard lock(mutex);
            --running;
            ++done;
            changed.notify_all();
        });
    }
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(30), [&] { return done == 12; }));
    EXPECT_LE(most, 2);
    EXPECT_GE(most, 1);
}

TEST(VideoManagerJobThrottleTest, JobsAtOnceFollowTheCoresUpToABoundThatKeepsMemoryFlat) {
    // Each job holds a decoder, a picture and its encoding: a pass on a machine of many cores must
    // not hold more of them than on eight.
    EXPECT_EQ(VideoManagerJobThrottle::widthFor(0), 2u);  // cores unknown
    EXPECT_EQ(VideoManagerJobThrottle::widthFor(1), 2u);
    EXPECT_EQ(VideoManagerJobThrottle::widthFor(6), 6u);
    EXPECT_EQ(VideoManagerJobThrottle::widthFor(64), VideoManagerJobThrottle::kMostJobs);
    EXPECT_LE(VideoManagerJobThrottle::shared().width(), VideoManagerJobThrottle::kMostJobs);
}

}  // namespace
}  // namespace reelhaven::video_manager_test
