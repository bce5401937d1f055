#include <atomic>
#include <thread>

#include "playback/player_fixture.h"

namespace reelhaven::playback_test {
namespace {

std::vector<std::string> titles(const std::vector<Track>& tracks) {
    std::vector<std::string> result;
    for (const auto& track : tracks) result.push_back(track.title);
    return result;
}

TEST(TrackTitle, CombinesTitleAndLanguageOrFallsBackToTypeAndId) {
    EXPECT_EQ(MPVSession::trackTitle(TrackType::audio, 1, "Stereo", "eng"), "[Eng] Stereo ");
    EXPECT_EQ(MPVSession::trackTitle(TrackType::audio, 1, "Stereo", std::nullopt), "[Stereo]");
    EXPECT_EQ(MPVSession::trackTitle(TrackType::audio, 2, std::nullopt, "DEU"), "[Deu]");
    EXPECT_EQ(MPVSession::trackTitle(TrackType::subtitle, 3, std::nullopt, std::nullopt), "sub: 3");
    EXPECT_EQ(MPVSession::trackTitle(TrackType::audio, 2, std::nullopt, "pt-br"), "[Pt-Br]");
}

TEST(SubtitleFontName, IsTheFamilyWithTheStyleSpelledOut) {
    EXPECT_EQ(MPVSession::subtitleFont("sans-serif", std::nullopt), "sans-serif");
    EXPECT_EQ(MPVSession::subtitleFont("HelveticaNeue-BoldItalic", "Helvetica Neue"), "Helvetica Neue Bold Italic");
    EXPECT_EQ(MPVSession::subtitleFont("Menlo-Bold", "Menlo"), "Menlo");
    EXPECT_EQ(MPVSession::subtitleFont("Futura-MediumItalic", "Futura"), "Futura");
    EXPECT_EQ(MPVSession::subtitleFont("Inter", "Inter"), "Inter");
    EXPECT_EQ(MPVSession::subtitleFont("NoSuch-Font", std::nullopt), std::nullopt);
}

TEST_F(PlayerTest, ListsTracksAndChaptersWithTheirTitles) {
    auto played = info(clip("chapters.mkv"));
    open(played);
    ASSERT_TRUE(waitForLoad());
    EXPECT_EQ(titles(played->audioTracks()), (std::vector<std::string>{"None", "[Eng] Stereo ", "[Deu]"}));
    EXPECT_EQ(titles(played->subtitleTracks()), (std::vector<std::string>{"None", "sub: 1"}));
    ASSERT_EQ(played->videoTracks().size(), 1u);
    EXPECT_EQ(played->activeAudioTrack(), (Track{TrackType::audio, 1, "[Eng] Stereo "}));
    ASSERT_EQ(played->chapters().size(), 1u);
    EXPECT_EQ(played->chapters()[0], (Chapter{0, "Middle", VideoTime{3.0}}));
    // Before the first chapter mpv reports chapter -1.
    EXPECT_TRUE(waitFor([&] { return played->currentChapter() == -1; }));
}

TEST_F(PlayerTest, UntitledChaptersAreNamedByTheirNumber) {
    for (const char* name : {"untitled-chapters.mkv", "untitled-chapters.mp4"}) {
        SCOPED_TRACE(name);
        loaded.clear();
        auto played = info(clip(name));
        open(played);
        ASSERT_TRUE(waitForLoad());
        EXPECT_EQ(played->chapters(),
                  (std::vector<Chapter>{{0, "Chapter 0", VideoTime{0.0}}, {1, "Chapter 1", VideoTime{2.0}}}));
        close();
    }
}

TEST_F(PlayerTest, SavedChoicesComeBackIncludingNone) {
    auto video = clip("chapters.mkv");
    VideoProgress::Choices choices;
    choices.selectedAudio = -1;
    choices.selectedSubtitle = -1;
    saveProgress(*video, 0, choices);
    auto played = info(video);
    open(played);
    ASSERT_TRUE(waitForLoad());
    EXPECT_EQ(property("aid"), "no");
    EXPECT_EQ(property("sid"), "no");
    EXPECT_TRUE(played->activeAudioTrack().isNone());
    EXPECT_EQ(played->selectedAudioTrack(), -1);

    session->teardown();
    loaded.clear();
    choices.selectedAudio = 2;
    choices.selectedSubtitle = 1;
    saveProgress(*video, 0, choices);
    close();
    auto again = info(video);
    open(again);
    ASSERT_TRUE(waitForLoad());
    EXPECT_EQ(property("aid"), "2");
    EXPECT_EQ(property("sid"), "1");
    EXPECT_EQ(again->activeAudioTrack().title, "[Deu]");
}

TEST_F(PlayerTest, SelectionsFromThePopoverReadBackFromMPV) {
    auto played = info(clip("chapters.mkv"));
    open(played);
    ASSERT_TRUE(waitForLoad());
    auto audio = played->audioTracks();
    session->selectTrack(audio[2]);  // the main thread, as the popover calls it
    EXPECT_EQ(property("aid"), "2");
    EXPECT_EQ(played->selectedAudioTrack(), 2);
    session->selectTrack(played->subtitleTracks()[0]);
    EXPECT_EQ(property("sid"), "no");
    EXPECT_EQ(played->selectedSubtitleTrack(), -1);
    EXPECT_TRUE(played->activeSubtitleTrack().isNone());
}

TEST_F(PlayerTest, ALateLoadOfTheReplacedFileDoesNotFillTheNewRecord) {
    auto first = info(clip("chapters.mkv"));
    auto second = info(clip("halves.mp4"));
    open(first);
    session->startPlayback(second);  // before the first file can have loaded
    ASSERT_TRUE(waitFor([&] { return !loaded.empty() && loaded.back() == second; }));
    EXPECT_EQ(titles(second->audioTracks()), (std::vector<std::string>{"None"}));
    EXPECT_TRUE(second->chapters().empty());
}

TEST_F(PlayerTest, OpenAndCloseRacingWritesAndSelections) {
    // Writes, reads and track choices from other threads while the session closes: the handle
    // guard keeps every call off a destroyed handle (run under ASan and TSan).
    for (int cycle = 0; cycle < 50; ++cycle) {
        SCOPED_TRACE(cycle);
        loaded.clear();
        auto played = info(clip(cycle % 2 ? "chapters.mkv" : "halves.mp4"));
        open(played);
        std::atomic<bool> stop{false};
        auto target = session;
        std::thread writer([&, target] {
            int i = 0;
            while (!stop) {
                target->setIntProperty("volume", 50 + (i++ % 50));
                target->setStringProperty("loop-file", "no");
                target->selectTrack(i % 2 ? Track::none(TrackType::subtitle) : Track{TrackType::audio, 1, "[Eng]"});
                (void)target->doubleProperty("time-pos");
                target->updateSubtitleFont();
                std::this_thread::yield();
            }
        });
        if (cycle % 3 == 0) waitForLoad();
        close();
        stop = true;
        writer.join();
        EXPECT_FALSE(target->isAlive());
    }
}

}  // namespace
}  // namespace reelhaven::playback_test
