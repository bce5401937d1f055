// Playlists fetched from a loopback HTTP server: the entries mpv plays in a playlist's place are
// the file played, and a playlist that yields nothing, or names itself, ends as a failed file.
// An address opened by the user reaches any protocol; one a playlist names, only the web's.
// Each is played as a link another app hands over, unless said otherwise.

#include <mpv/client.h>

#include <string>
#include <vector>

#include "playback/player_fixture.h"
#include "support/loopback_http_server.h"
#include "support/silent_server.h"

namespace reelhaven::playback_test {
namespace {

// The server outlives the session: the fixture's teardown ends the session first.
class PlaylistPlayerTest : public PlayerTest {
protected:
    testing_support::LoopbackHttpServer server;

    void SetUp() override {
        PlayerTest::SetUp();
        server.serveFile("long.mp4", testing_support::testMedia("long.mp4"));
        server.serveFile("oneframe.mp4", testing_support::testMedia("oneframe.mp4"));
    }
    PlaybackInfoPtr network(const std::string& name) {
        auto url = foundation::URL::parse(server.url(name));
        EXPECT_TRUE(url);
        return info(Video::opened(*url, MediaOrigin::link));
    }
    void reopen(const PlaybackInfoPtr& played) {
        close();
        loaded.clear();
        ended.reset();
        restarts = 0;
        open(played);
    }
};

TEST_F(PlaylistPlayerTest, APlaylistsEntriesArePlayedAsTheFileAndTheirEndIsItsEnd) {
    struct Case {
        std::string name, body;
        double progress;  // saved position: the first entry starts a second before it
        std::size_t loads;
        EndFileAction action;
        int error;
    };
    const std::vector<Case> cases{
        // Near the end of a 65 s clip: only a start where the file was to start ends it soon.
        {"one.m3u", "#EXTM3U\nlong.mp4\n", 64.5, 1, EndFileAction::closeFinished, 0},
        {"one.pls", "[playlist]\nFile1=oneframe.mp4\nNumberOfEntries=1\n", 0, 1, EndFileAction::closeFinished, 0},
        {"three.m3u", "oneframe.mp4\noneframe.mp4\nmissing.mp4\n", 0, 2, EndFileAction::closeFinished, 0},
        {"nested.m3u", "one.pls\noneframe.mp4\n", 0, 2, EndFileAction::closeFinished, 0},
        {"empty.m3u", "#EXTM3U\n", 0, 0, EndFileAction::closeUnfinished, MPV_ERROR_NOTHING_TO_PLAY},
        {"refused.m3u8",
         "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\nseg0.ts\n#EXTINF:2.0,\nseg1.ts\n#EXT-X-ENDLIST\n", 0, 0,
         EndFileAction::closeUnfinished, MPV_ERROR_LOADING_FAILED},
    };
    for (const auto& c : cases) server.serve(c.name, c.body);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto played = network(c.name);
        played->setProgress(c.progress);
        reopen(played);
        ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
        EXPECT_EQ(ended->first, c.action);
        EXPECT_EQ(ended->second.error, c.error);
        EXPECT_EQ(loaded.size(), c.loads);
        for (const auto& record : loaded) EXPECT_EQ(record, played) << "an entry fills the record played";
        EXPECT_EQ(session->hasLoaded(*played), c.loads > 0);
    }
}

TEST_F(PlaylistPlayerTest, APlaylistThatNamesItselfEndsAndMPVStopsExpandingIt) {
    server.serve("self.m3u", "self.m3u\n");
    server.serve("a.m3u", "b.m3u\n");
    server.serve("b.m3u", "a.m3u\n");
    for (const std::string name : {"self.m3u", "a.m3u"}) {
        SCOPED_TRACE(name);
        reopen(network(name));
        ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
        EXPECT_EQ(ended->first, EndFileAction::closeUnfinished);
        EXPECT_TRUE(loaded.empty());
        // mpv has stopped and dropped the list: with nothing left to expand it rests, however far
        // it ran ahead of its events on a busy machine before the stop reached it.
        ASSERT_TRUE(waitFor([&] { return property("idle-active") == "yes"; }));
        EXPECT_EQ(property("playlist-count"), "0");
        const int fetched = server.requests(name) + (name == "a.m3u" ? server.requests("b.m3u") : 0);
        EXPECT_LE(fetched, 10 * PlaylistTrail::kMaxDepth);
    }
}

TEST_F(PlaylistPlayerTest, AnAddressTheUserOpensReachesItsProtocolButOneAPlaylistNamesOnlyTheWebs) {
    testing_support::SilentServer rtmp;
    auto opened = foundation::URL::parse(rtmp.url("rtmp"));
    ASSERT_TRUE(opened);
    reopen(info(Video::opened(*opened, MediaOrigin::chosenByUser)));
    EXPECT_TRUE(waitFor([&] { return rtmp.called(); })) << "the player never called " << rtmp.url("rtmp");

    server.serve("rtmp.m3u", "#EXTM3U\n" + rtmp.url("rtmp") + "\n");
    reopen(network("rtmp.m3u"));
    ASSERT_TRUE(waitFor([&] { return ended.has_value(); }));
    EXPECT_EQ(ended->first, EndFileAction::closeUnfinished);
    EXPECT_FALSE(rtmp.called()) << "a playlist's entry reached a protocol other than the web's";
}

}  // namespace
}  // namespace reelhaven::playback_test
