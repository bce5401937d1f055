// The player screen on playlists fetched from a loopback HTTP server: it closes once the clips the
// playlist named have ended, and at once, unfinished, when the playlist yields nothing to play.

#include <string>
#include <vector>

#include "playback/player_screen_fixture.h"
#include "support/loopback_http_server.h"

namespace reelhaven::playback_test {
namespace {

class PlaylistPlayerScreenTest : public PlayerScreenTest {
protected:
    testing_support::LoopbackHttpServer server;  // outlives the player: TearDown closes it first
};

TEST_F(PlaylistPlayerScreenTest, ThePlayerClosesAfterThePlaylistsClipsOrWhenItYieldsNothing) {
    struct Case {
        std::string name, body;
        bool finished;  // closed as played to its end
    };
    const std::vector<Case> cases{
        {"one.m3u", "#EXTM3U\noneframe.mp4\n", true},
        {"two.m3u", "oneframe.mp4\nhalves.mp4\n", true},
        {"one.pls", "[playlist]\nFile1=oneframe.mp4\nNumberOfEntries=1\n", true},
        {"empty.m3u", "#EXTM3U\n", false},
        {"refused.m3u8", "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\nseg0.ts\n#EXT-X-ENDLIST\n", false},
        {"self.m3u", "self.m3u\n", false},
    };
    server.serveFile("oneframe.mp4", testing_support::testMedia("oneframe.mp4"));
    server.serveFile("halves.mp4", testing_support::testMedia("halves.mp4"));
    for (const auto& c : cases) server.serve(c.name, c.body);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto url = foundation::URL::parse(server.url(c.name));
        ASSERT_TRUE(url);
        // A link to a playlist on the web, as another app hands one over.
        auto played = info(Video::opened(*url, MediaOrigin::link));
        played->setLoop(false);
        open(played);
        ASSERT_TRUE(waitForDismissal()) << "a blank player stayed up";
        flush();
        EXPECT_EQ(player->mpv(), nullptr);
        EXPECT_EQ(played->isFinished(), c.finished ? std::optional(true) : std::nullopt);
        TearDown();  // the next case opens a player of its own
    }
}

}  // namespace
}  // namespace reelhaven::playback_test
