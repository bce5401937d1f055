#include "core/video_progress.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <tuple>
#include <vector>

namespace reelhaven {
namespace {

VideoProgress record(double progress, double duration, bool finished = false) {
    VideoProgress r;
    r.progress = VideoTime{progress};
    r.duration = VideoTime{duration};
    r.isFinished = finished;
    return r;
}

TEST(VideoProgressUpdateTest, ShortVideosNeverKeepAPosition) {
    auto r = record(3, 100, true);
    r.update(5, 9.9, std::nullopt, {});
    EXPECT_EQ(r.progress, VideoTime{0});
    EXPECT_FALSE(r.isFinished);
    EXPECT_EQ(r.duration, VideoTime{9.9});

    auto tenSeconds = record(0, 0);
    tenSeconds.update(5, 10.0, std::nullopt, {});
    EXPECT_EQ(tenSeconds.progress, VideoTime{5});
}

TEST(VideoProgressUpdateTest, PastNinetySevenPercentIsFinished) {
    auto r = record(10, 100);
    r.update(97.1, 100, std::nullopt, {});
    EXPECT_EQ(r.progress, VideoTime{0});
    EXPECT_TRUE(r.isFinished);

    auto atLimit = record(10, 100);
    atLimit.update(97.0, 100, std::nullopt, {});
    EXPECT_EQ(atLimit.progress, VideoTime{97});
    EXPECT_FALSE(atLimit.isFinished);
}

TEST(VideoProgressUpdateTest, AFinishedVideoLeftNearItsStartStaysFinished) {
    auto r = record(0, 100, true);
    r.update(1.5, 100, std::nullopt, {});
    EXPECT_EQ(r.progress, VideoTime{1.5});
    EXPECT_TRUE(r.isFinished);

    auto atLimit = record(0, 100, true);
    atLimit.update(2.0, 100, std::nullopt, {});
    EXPECT_EQ(atLimit.progress, VideoTime{2});
    EXPECT_FALSE(atLimit.isFinished);
}

TEST(VideoProgressUpdateTest, AnExplicitMarkWinsAtAnyPosition) {
    auto r = record(50, 100, true);
    r.update(99, 100, false, {});
    EXPECT_EQ(r.progress, VideoTime{0});
    EXPECT_FALSE(r.isFinished);

    auto watched = record(50, 100);
    watched.update(10, std::nullopt, true, {});
    EXPECT_EQ(watched.progress, VideoTime{0});
    EXPECT_TRUE(watched.isFinished);
}

TEST(VideoProgressUpdateTest, KeepsTheStoredDurationWhenNoneIsGiven) {
    auto r = record(0, 200);
    r.update(195, std::nullopt, std::nullopt, {});
    EXPECT_EQ(r.duration, VideoTime{200});
    EXPECT_TRUE(r.isFinished);  // 195 / 200 > 0.97
}

TEST(VideoProgressUpdateTest, AZeroDurationGivesAnUnfinishedPosition) {
    auto r = record(0, 0, true);
    r.update(0, std::nullopt, std::nullopt, {});  // 0 / 0 is not a number
    EXPECT_FALSE(r.isFinished);
    EXPECT_EQ(r.progress, VideoTime{0});
    // A record whose length was lost keeps its positions until a length is known again.
    r.update(50, std::nullopt, std::nullopt, {});
    EXPECT_FALSE(r.isFinished);
    EXPECT_EQ(r.progress, VideoTime{50});
}

TEST(VideoProgressUpdateTest, ReplacesEveryChoice) {
    auto r = record(0, 100);
    r.selectedSubtitle = 3;
    r.volume = 80;
    VideoProgress::Choices choices;
    choices.selectedAudio = 2;
    choices.contentMode = ContentMode::aspectFill;
    r.update(20, 100, std::nullopt, choices);
    EXPECT_EQ(r.selectedAudio, 2);
    EXPECT_EQ(r.selectedSubtitle, std::nullopt);
    EXPECT_EQ(r.volume, std::nullopt);
    EXPECT_EQ(r.contentMode, ContentMode::aspectFill);
}

TEST(VideoProgressCodingTest, RequiredKeysOnlyRoundTrip) {
    auto json =
        nlohmann::json::parse(R"({"progress":{"seconds":61.2},"duration":{"seconds":1432.5},"isFinished":false})");
    auto decoded = json.get<VideoProgress>();
    EXPECT_EQ(decoded, record(61.2, 1432.5));
    EXPECT_EQ(nlohmann::json(decoded), json);
}

TEST(VideoProgressCodingTest, WritesTheRenamedKeys) {
    auto r = record(1, 2);
    r.contentMode = ContentMode::aspectFitUnsafe;
    r.aspectRatio = 1.7777777777777777;
    r.playbackSpeed = 1.5;
    r.deinterlace = true;
    r.loop = false;
    r.volume = 60;
    r.selectedAudio = 1;
    r.selectedSubtitle = 0;
    nlohmann::json json = r;
    EXPECT_EQ(json["aspectRatio"], "aspectFitUnsafe");
    EXPECT_EQ(json["videoAspectRatio"], 1.7777777777777777);
    EXPECT_EQ(json.size(), 11u);
    EXPECT_FALSE(json.contains("contentMode"));
    EXPECT_EQ(json.get<VideoProgress>(), r);
}

TEST(VideoProgressCodingTest, NullOptionalsAndUnknownKeysAreAccepted) {
    auto json = nlohmann::json::parse(
        R"({"progress":{"seconds":1},"duration":{"seconds":2},"isFinished":true,"volume":null,"future":[1]})");
    auto decoded = json.get<VideoProgress>();
    EXPECT_TRUE(decoded.isFinished);
    EXPECT_EQ(decoded.volume, std::nullopt);
}

TEST(VideoProgressCodingTest, RejectsMissingKeysWrongTypesAndUnknownModes) {
    const char* bad[] = {
        R"({"progress":{"seconds":1},"duration":{"seconds":2}})",
        R"({"progress":{"seconds":1},"isFinished":false})",
        R"({"progress":{"seconds":1},"duration":{"seconds":2},"isFinished":0})",
        R"({"progress":{"seconds":1},"duration":{"seconds":2},"isFinished":false,"aspectRatio":"stretch"})",
        R"({"progress":{"seconds":1},"duration":{"seconds":2},"isFinished":false,"volume":"loud"})",
        R"({"progress":{"seconds":1},"duration":{"seconds":2},"isFinished":false,"selectedAudio":1.5})",
        R"({"progress":{"seconds":1},"duration":{"seconds":2},"isFinished":false,"loop":1})",
        R"({"progress":{"seconds":-5},"duration":{"seconds":2},"isFinished":false})",
        R"({"progress":{"seconds":1},"duration":{"seconds":1e308},"isFinished":false})",
        R"([1,2])",
    };
    for (const char* text : bad)
        EXPECT_THROW(nlohmann::json::parse(text).get<VideoProgress>(), nlohmann::json::exception) << text;
}

TEST(VideoProgressCodingTest, AStoredRecordKeepsEverythingButItsUnusableChoices) {
    const std::string required = R"("progress":{"seconds":61.2},"duration":{"seconds":1432.5},"isFinished":true)";
    const std::pair<const char*, const char*> bad[] = {
        {R"("aspectRatio":"bogus")", "aspectRatio"},
        {R"("aspectRatio":3)", "aspectRatio"},
        {R"("volume":"loud")", "volume"},
        {R"("selectedAudio":1.5)", "selectedAudio"},
        {R"("loop":1)", "loop"},
        {R"("playbackSpeed":"fast")", "playbackSpeed"},
        {R"("videoAspectRatio":1e308)", "videoAspectRatio"},
        // Out of what the player offers.
        {R"("playbackSpeed":1e308)", "playbackSpeed"},
        {R"("playbackSpeed":-1)", "playbackSpeed"},
        {R"("playbackSpeed":0)", "playbackSpeed"},
        {R"("playbackSpeed":4.01)", "playbackSpeed"},
        {R"("volume":2147483647)", "volume"},
        {R"("volume":-100)", "volume"},
        {R"("volume":151)", "volume"},
        {R"("selectedAudio":-2147483648)", "selectedAudio"},
        {R"("selectedAudio":-2)", "selectedAudio"},
    };
    for (const auto& [member, key] : bad) {
        auto json = nlohmann::json::parse("{" + required + "," + member + R"(,"selectedSubtitle":3})");
        std::vector<std::string> dropped;
        auto decoded = decodeStoredVideoProgress(json, dropped);
        ASSERT_TRUE(decoded) << member;
        EXPECT_EQ(decoded->progress, VideoTime{61.2}) << member;
        EXPECT_TRUE(decoded->isFinished) << member;
        EXPECT_EQ(decoded->selectedSubtitle, 3) << member << ": the other choices stay";
        EXPECT_EQ(dropped, std::vector<std::string>{key}) << member;
        EXPECT_EQ(nlohmann::json(*decoded).size(), 4u) << member << ": written back without the bad value";
    }
    std::vector<std::string> dropped;
    EXPECT_FALSE(decodeStoredVideoProgress(nlohmann::json::parse("[1]"), dropped));
    // Without its length or watched mark the record still holds a position.
    auto lengthless = decodeStoredVideoProgress(nlohmann::json::parse(R"({"progress":{"seconds":1}})"), dropped);
    ASSERT_TRUE(lengthless);
    EXPECT_EQ(lengthless->progress, VideoTime{1});
    EXPECT_EQ(lengthless->duration, VideoTime{0});
    EXPECT_FALSE(lengthless->isFinished);
    EXPECT_EQ(dropped, (std::vector<std::string>{"duration", "isFinished"}));
}

TEST(VideoProgressCodingTest, ChoicesAtTheEndsOfWhatThePlayerOffersStand) {
    const std::string required = R"({"progress":{"seconds":1},"duration":{"seconds":2},"isFinished":false,)";
    for (const char* choices :
         {R"("playbackSpeed":0.1,"volume":0,"selectedAudio":-1,"selectedSubtitle":-1})",
          R"("playbackSpeed":4.0,"volume":150,"selectedAudio":0,"selectedSubtitle":2147483647})"}) {
        const auto json = nlohmann::json::parse(required + choices);
        std::vector<std::string> dropped;
        auto decoded = decodeStoredVideoProgress(json, dropped);
        ASSERT_TRUE(decoded) << choices;
        EXPECT_TRUE(dropped.empty()) << choices;
        EXPECT_EQ(nlohmann::json(*decoded), json) << choices;
        EXPECT_EQ(decoded->choices().usable(), decoded->choices()) << choices;
    }
    VideoProgress::Choices outOfRange{.selectedAudio = INT32_MIN,
                                      .selectedSubtitle = -2,
                                      .aspectRatio = 1e308,
                                      .playbackSpeed = -1,
                                      .deinterlace = true,
                                      .loop = false,
                                      .volume = 2147483647};
    EXPECT_EQ(outOfRange.usable(), (VideoProgress::Choices{.deinterlace = true, .loop = false}));
    auto strict = nlohmann::json::parse(required + R"("selectedSubtitle":-7,"volume":-100})").get<VideoProgress>();
    EXPECT_EQ(strict.selectedSubtitle, std::nullopt);
    EXPECT_EQ(strict.volume, std::nullopt);
}

// mpv reports -2.8e-07 as a file begins; only a position far outside media is damage, and then it
// costs the record nothing else, as a damaged length does.
TEST(VideoProgressCodingTest, APositionAHairBeforeTheStartIsTheStartAndADamagedOneCostsOnlyItself) {
    const std::string rest = R"("duration":{"seconds":600},"isFinished":true,"playbackSpeed":1.5,"selectedAudio":2)";
    const std::tuple<const char*, double, bool> cases[] = {
        {R"("progress":{"seconds":-2.8e-07},)", 0.0, false},
        {R"("progress":{"seconds":-1},)", 0.0, false},
        {R"("progress":{"seconds":0},)", 0.0, false},
        {R"("progress":{"seconds":12.5},)", 12.5, false},
        {R"("progress":{"seconds":-1.5},)", 0.0, true},
        {R"("progress":{"seconds":-5},)", 0.0, true},
        {R"("progress":{"seconds":1e10},)", 0.0, true},
        {R"("progress":{"seconds":"12"},)", 0.0, true},
        {R"("progress":null,)", 0.0, true},
        {"", 0.0, true},
    };
    for (const auto& [member, position, damaged] : cases) {
        const auto json = nlohmann::json::parse(std::string("{") + member + rest + "}");
        std::vector<std::string> dropped;
        auto decoded = decodeStoredVideoProgress(json, dropped);
        ASSERT_TRUE(decoded) << member;
        EXPECT_EQ(decoded->progress, VideoTime{position}) << member;
        EXPECT_EQ(dropped, damaged ? std::vector<std::string>{"progress"} : std::vector<std::string>{}) << member;
        EXPECT_EQ(decoded->duration, VideoTime{600}) << member;
        EXPECT_TRUE(decoded->isFinished) << member;
        EXPECT_EQ(decoded->playbackSpeed, 1.5) << member;
        EXPECT_EQ(decoded->selectedAudio, 2) << member;
        if (!damaged) {
            EXPECT_EQ(json.get<VideoProgress>(), *decoded) << member;
        }
    }
}

TEST(VideoProgressCodingTest, AnAspectRatioNoPictureHasCountsAsAbsent) {
    for (double ratio : {1e308, -1.78, 0.0, 0.04, 20.5}) {
        nlohmann::json json = record(1, 2);
        json["videoAspectRatio"] = ratio;
        EXPECT_EQ(json.get<VideoProgress>().aspectRatio, std::nullopt) << ratio;
    }
    for (double ratio : {0.05, 180.0 / 320.0, 2.39, 20.0}) {
        nlohmann::json json = record(1, 2);
        json["videoAspectRatio"] = ratio;
        EXPECT_EQ(json.get<VideoProgress>().aspectRatio, ratio) << ratio;
    }
}

}  // namespace
}  // namespace reelhaven
