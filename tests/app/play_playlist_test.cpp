// `reelhaven --play URL` on playlists served over a loopback HTTP server, as a user runs it: what
// it prints, how it ends and its exit status. Each run is bounded: a run that hangs is killed and
// fails the case.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/launcher_process.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"
#include "support/test_media.h"

namespace {

using testing_support::LauncherProcess;
using testing_support::LoopbackHttpServer;
using testing_support::TempDir;
using testing_support::testMedia;

constexpr std::chrono::seconds kPatience{45};  // six runs within the suite's limit, each well past its 2 s

TEST(PlayPlaylist, APlaylistPlaysItsEntriesAndOneThatYieldsNothingExitsWithAMessage) {
    struct Case {
        std::string name, body;
        std::vector<std::string> extra;  // further options
        int status;
        std::string end;      // the "end" line
        bool loaded;          // a "loaded" line names the playlist
        std::string message;  // on standard error, when it fails
    };
    const std::vector<Case> cases{
        {"list.m3u", "#EXTM3U\nlong.mp4\n", {"--seconds", "0.5"}, 0, "end\tafter 0.5 s\n", true, ""},
        {"list.pls", "[playlist]\nFile1=oneframe.mp4\nNumberOfEntries=1\n", {}, 0, "end\teof\n", true, ""},
        {"several.m3u", "oneframe.mp4\noneframe.mp4\n", {}, 0, "end\teof\n", true, ""},
        {"empty.m3u", "", {}, 1, "end\terror\n", false, "no audio or video data played"},
        {"refused.m3u8",
         "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\nseg0.ts\n#EXTINF:2.0,\nseg1.ts\n#EXT-X-ENDLIST\n",
         {"--seconds", "2"},
         1,
         "end\terror\n",
         false,
         "loading failed"},
        {"self.m3u", "self.m3u\n", {"--seconds", "2"}, 1, "end\terror\n", false, "loading failed"},
    };
    LoopbackHttpServer server;
    server.serveFile("long.mp4", testMedia("long.mp4"));
    server.serveFile("oneframe.mp4", testMedia("oneframe.mp4"));
    for (const auto& c : cases) server.serve(c.name, c.body);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        std::vector<std::string> arguments{"--home",           (dir / "home").string(), "--play",
                                           server.url(c.name), "--audio-output",        "null"};
        arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
        LauncherProcess run(dir.path(), arguments);
        EXPECT_EQ(run.finish(kPatience), c.status) << run.output() << run.errors();
        const auto& out = run.output();
        EXPECT_NE(out.find(c.end), std::string::npos) << out;
        EXPECT_EQ(out.find("loaded\t" + server.url(c.name) + "\n") != std::string::npos, c.loaded) << out;
        if (!c.message.empty()) {
            EXPECT_NE(run.errors().find("reelhaven: cannot play " + server.url(c.name) + ": " + c.message),
                      std::string::npos)
                << run.errors();
        }
    }
}

}  // namespace
