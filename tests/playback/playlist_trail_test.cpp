// The entries a load becomes, fed mpv's end-of-file reports as it sends them for playlists.

#include "playback/playlist_trail.h"

#include <gtest/gtest.h>
#include <mpv/client.h>

#include <optional>
#include <string>
#include <vector>

namespace reelhaven {
namespace {

constexpr int kEof = MPV_END_FILE_REASON_EOF;
constexpr int kError = MPV_END_FILE_REASON_ERROR;
constexpr int kRedirect = MPV_END_FILE_REASON_REDIRECT;
constexpr int kStop = MPV_END_FILE_REASON_STOP;

struct Case {
    std::string name;
    std::vector<PlaylistTrail::End> ends;  // what mpv reports, in order, for a load of entry 1
    // How the load ended, and after which report (its index); none: it has not ended.
    std::optional<EndFileEvent> verdict;
    std::size_t endsAt = 0;
};

TEST(PlaylistTrail, FollowsTheEntriesAPlaylistBecomesUntilTheLastEnds) {
    const std::vector<Case> cases{
        {"a plain file played to its end", {{1, kEof, 0, 0, 0, true}}, EndFileEvent{kEof, 0, true}, 0},
        {"a plain file that failed",
         {{1, kError, MPV_ERROR_LOADING_FAILED}},
         EndFileEvent{kError, MPV_ERROR_LOADING_FAILED, false},
         0},
        {"an output failure keeps its code for the decision",
         {{1, kError, MPV_ERROR_AO_INIT_FAILED, 0, 0, true}},
         EndFileEvent{kError, MPV_ERROR_AO_INIT_FAILED, true},
         0},
        {"a playlist of one entry",
         {{1, kRedirect, 0, 2, 1}, {2, kEof, 0, 0, 0, true}},
         EndFileEvent{kEof, 0, true},
         1},
        {"an empty playlist", {{1, kRedirect, 0, 0, 0}}, EndFileEvent{kError, MPV_ERROR_NOTHING_TO_PLAY, false}, 0},
        {"entries whose segments are refused",
         {{1, kRedirect, 0, 2, 2}, {2, kError, MPV_ERROR_LOADING_FAILED}, {3, kError, MPV_ERROR_LOADING_FAILED}},
         EndFileEvent{kError, MPV_ERROR_LOADING_FAILED, false},
         2},
        {"three entries, the last missing",
         {{1, kRedirect, 0, 2, 3},
          {2, kEof, 0, 0, 0, true},
          {3, kEof, 0, 0, 0, true},
          {4, kError, MPV_ERROR_LOADING_FAILED}},
         EndFileEvent{kEof, 0, true},
         3},
        {"a nested playlist",
         {{1, kRedirect, 0, 2, 2}, {2, kRedirect, 0, 4, 1}, {4, kEof, 0, 0, 0, true}, {3, kEof, 0, 0, 0, true}},
         EndFileEvent{kEof, 0, true},
         3},
        {"another load's file is not followed", {{7, kEof}, {1, kEof}}, EndFileEvent{kEof, 0, false}, 1},
        {"a stop ends it unplayed", {{1, kRedirect, 0, 2, 2}, {2, kStop}}, EndFileEvent{kStop, 0, false}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlaylistTrail trail;
        trail.reset(1);
        for (std::size_t i = 0; i < c.ends.size(); ++i) {
            auto verdict = trail.ended(c.ends[i]);
            if (i != c.endsAt) {
                EXPECT_FALSE(verdict) << "ended early, at report " << i;
                continue;
            }
            ASSERT_TRUE(verdict);
            EXPECT_EQ(verdict->event, c.verdict);
            EXPECT_FALSE(verdict->stopPlayback);
            EXPECT_FALSE(trail.follows(2)) << "nothing is followed after the end";
        }
    }
}

// A list that names itself: mpv expands it into itself for ever, one entry a time.
TEST(PlaylistTrail, APlaylistThatNamesItselfEndsAsAFailedFileAndIsStopped) {
    PlaylistTrail trail;
    trail.reset(1);
    std::optional<PlaylistTrail::Verdict> verdict;
    int redirects = 0;
    for (std::int64_t entry = 1; !verdict && redirects < 1000; ++entry, ++redirects)
        verdict = trail.ended({entry, kRedirect, 0, entry + 1, 1});
    ASSERT_TRUE(verdict);
    EXPECT_EQ(redirects, PlaylistTrail::kMaxDepth + 1);
    EXPECT_TRUE(verdict->stopPlayback);
    EXPECT_EQ(verdict->event, (EndFileEvent{kError, MPV_ERROR_LOADING_FAILED, false}));
    EXPECT_EQ(endFileAction(verdict->event, false, true), EndFileAction::closeUnfinished);

    // A list of itself twice: the first copy's expansion reaches the limit first, as mpv plays it first.
    trail.reset(10);
    verdict.reset();
    redirects = 0;
    for (std::int64_t entry = 10; !verdict && redirects < 1000; entry += 2, ++redirects)
        verdict = trail.ended({entry, kRedirect, 0, entry + 2, 2});
    ASSERT_TRUE(verdict);
    EXPECT_EQ(redirects, PlaylistTrail::kMaxDepth + 1);
}

}  // namespace
}  // namespace reelhaven
