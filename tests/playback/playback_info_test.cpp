#include "playback/model/playback_info.h"

#include <gtest/gtest.h>

#include <any>

#include "core/progress_client.h"
#include "platform/foundation/container.h"
#include "platform/ui/scenes/user_activity.h"
#include "support/temp_dir.h"

namespace reelhaven {
namespace {

class PlaybackInfoTest : public ::testing::Test {
protected:
    testing_support::TempDir dir;
    foundation::ScopedContainer container{dir / "home"};
    std::shared_ptr<ProgressClient> progressClient = ProgressClient::create();

    VideoPtr video(const std::string& name, std::optional<double> duration, bool securityScoped = false) {
        auto path = dir / name;
        testing_support::writeFile(path, "x");
        auto made =
            Video::create(foundation::URL::fileURLWithPath(path.string()), LibraryItemType::file, securityScoped);
        if (duration) made->setDuration(VideoTime{*duration});
        return made;
    }
    void saveRecord(const Video& target, double duration, double progress) {
        VideoProgress::Choices choices;
        choices.selectedAudio = 2;
        choices.selectedSubtitle = -1;
        choices.volume = 80;
        choices.loop = false;
        progressClient->progressRecords().mutate([&](ProgressClient::Records& records) {
            VideoProgress record;
            record.progress = VideoTime{progress};
            record.duration = VideoTime{duration};
            record.setChoices(choices);
            records[ProgressClient::progressKey(target.url())] = record;
        });
    }
    PlaybackInfoPtr make(const VideoPtr& target, std::optional<double> speed = std::nullopt) {
        return PlaybackInfo::create(progressClient, nullptr, target, false, true, speed);
    }
};

TEST_F(PlaybackInfoTest, ShortVideosLoopAndLongerOnesDoNot) {
    EXPECT_EQ(make(video("ten.mp4", 10.0))->loop(), true);
    EXPECT_EQ(make(video("eleven.mp4", 11.0))->loop(), std::nullopt);
    EXPECT_EQ(make(video("unknown.mp4", std::nullopt))->loop(), std::nullopt);
}

TEST_F(PlaybackInfoTest, ASavedRecordAppliesOnlyToTheSameDurationOrAFileFromElsewhere) {
    auto library = video("movie.mp4", 120.5);
    saveRecord(*library, 120.0, 41.5);
    auto ignored = make(library, 2.0);
    EXPECT_EQ(ignored->progress(), 0);
    EXPECT_EQ(ignored->selectedAudioTrack(), std::nullopt);
    EXPECT_EQ(ignored->playbackSpeed(), 2.0);

    auto scoped = video("other.mp4", 120.5, true);
    saveRecord(*scoped, 120.0, 41.5);
    auto applied = make(scoped, 2.0);
    EXPECT_EQ(applied->progress(), 41.5);
    EXPECT_EQ(applied->selectedAudioTrack(), 2);
    EXPECT_EQ(applied->selectedSubtitleTrack(), -1);
    EXPECT_EQ(applied->volume(), 80);
    EXPECT_EQ(applied->loop(), false);
    EXPECT_EQ(applied->playbackSpeed(), std::nullopt) << "an absent saved speed replaces the argument";
    EXPECT_EQ(applied->isFinished(), std::nullopt);
}

TEST_F(PlaybackInfoTest, ARecordWhoseLengthWasLostAppliesWhileItsPositionLiesInsideTheFile) {
    auto library = video("movie.mp4", 120.5);
    saveRecord(*library, 0, 41.5);
    auto applied = make(library);
    EXPECT_EQ(applied->progress(), 41.5);
    EXPECT_EQ(applied->selectedAudioTrack(), 2);

    auto shorter = video("short.mp4", 30.0);
    saveRecord(*shorter, 0, 41.5);
    EXPECT_EQ(make(shorter)->progress(), 0) << "another file of the same name";
    auto unknown = video("unknown.mp4", std::nullopt);
    saveRecord(*unknown, 0, 41.5);
    EXPECT_EQ(make(unknown)->progress(), 0);
}

TEST_F(PlaybackInfoTest, SavingMergesPositionAndChoicesIntoTheStore) {
    auto target = video("saved.mp4", 60.0);
    auto info = make(target, 1.5);
    info->setProgress(30);
    info->setSelectedAudioTrack(3);
    info->saveProgress();
    auto record = progressClient->progress(*target);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->progress.seconds, 30);
    EXPECT_EQ(record->selectedAudio, 3);
    EXPECT_EQ(record->playbackSpeed, 1.5);
    info->saveFinished();
    EXPECT_TRUE(progressClient->progress(*target)->isFinished);
}

TEST_F(PlaybackInfoTest, TitleIsTheWholeURLOnlyForNetworkStreams) {
    EXPECT_EQ(make(video("Holiday.mkv", 30.0))->title(), "Holiday");
    auto stream =
        Video::create(*foundation::URL::parse("https://example.com/a/b.mp4?x=1"), LibraryItemType::file, true);
    EXPECT_EQ(make(stream)->title(), "https://example.com/a/b.mp4?x=1");
}

TEST_F(PlaybackInfoTest, UserActivityCarriesTheRestorationKeys) {
    auto info = PlaybackInfo::create(progressClient, nullptr, video("clip.mp4", std::nullopt), false, false, {});
    auto activity = info->userActivity();
    EXPECT_EQ(activity->activityType(), "com.qvrm.reelhaven.playVideo");
    EXPECT_EQ(activity->title(), "clip");
    const auto& userInfo = activity->userInfo();
    EXPECT_EQ(std::any_cast<int>(userInfo.at("duration")), 0);
    EXPECT_EQ(std::any_cast<bool>(userInfo.at("controlsHidden")), false);
    EXPECT_EQ(std::any_cast<bool>(userInfo.at("isSecurityScoped")), false);
    EXPECT_TRUE(userInfo.count("url"));
    EXPECT_EQ(activity->requiredUserInfoKeys().size(), 4u);
}

TEST_F(PlaybackInfoTest, NextVideoOfAFileFromElsewhereIsNone) {
    EXPECT_EQ(make(video("scoped.mp4", 20.0, true))->nextVideo(), nullptr);
}

TEST_F(PlaybackInfoTest, SettingListsReplacesThem) {
    auto info = make(video("lists.mp4", 20.0));
    info->setTracks({}, {Track::none(TrackType::audio), {TrackType::audio, 1, "[Eng]"}}, {});
    info->setTracks({}, {Track::none(TrackType::audio), {TrackType::audio, 1, "[Eng]"}}, {});
    EXPECT_EQ(info->audioTracks().size(), 2u);
    EXPECT_EQ(info->activeAudioTrack(), Track::none(TrackType::audio));
    EXPECT_EQ(info->activeSubtitleTrack().type, TrackType::subtitle);
}

TEST_F(PlaybackInfoTest, PublishedFieldsNotifyWithoutHoldingTheRecord) {
    auto info = make(video("published.mp4", 20.0));
    std::vector<int> seen;
    // A subscriber that reads other fields would deadlock if the record notified under its lock.
    auto token = info->currentChapterPublisher().sink([&](const int& chapter) {
        seen.push_back(chapter);
        (void)info->progress();
        (void)info->chapters();
    });
    info->setCurrentChapter(-1);
    info->setCurrentChapter(2);
    EXPECT_EQ(seen, (std::vector<int>{0, -1, 2}));
}

}  // namespace
}  // namespace reelhaven
