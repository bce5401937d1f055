// What a file served over the web may make the player open: a playlist's entries reach the web's
// and the file servers' protocols only, so no entry makes the app listen on this machine's
// interfaces.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/launcher_process.h"
#include "support/loopback_http_server.h"
#include "support/reach_watch.h"
#include "support/silent_server.h"
#include "support/temp_dir.h"

namespace {

using testing_support::freeUdpPort;
using testing_support::LauncherProcess;
using testing_support::LoopbackHttpServer;
using testing_support::TempDir;
using testing_support::udpPortBound;

TEST(PlayProtocols, APlaylistOverTheWebListensNowhere) {
    const std::vector<int> ports{freeUdpPort(), freeUdpPort(), freeUdpPort()};
    for (int port : ports) ASSERT_GT(port, 0);
    const std::vector<std::string> entries{
        "srt://0.0.0.0:" + std::to_string(ports[0]) + "?mode=listener",
        "udp://0.0.0.0:" + std::to_string(ports[1]) + "?listen=1",
        "rtp://127.0.0.1:9?localport=" + std::to_string(ports[2]),
    };
    LoopbackHttpServer server;
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(entries[i]);
        const std::string name = "list" + std::to_string(i) + ".m3u";
        server.serve(name, "#EXTM3U\n" + entries[i] + "\n");
        TempDir dir;
        LauncherProcess run(dir.path(), {"--home", (dir / "home").string(), "--play", server.url(name),
                                         "--audio-output", "null", "--seconds", "2"});
        // Until the player ends, nothing of it may hold the port; a listener would wait there for
        // a caller forever.
        bool ended = false;
        for (auto deadline = std::chrono::steady_clock::now() + LauncherProcess::kPatience;
             !ended && std::chrono::steady_clock::now() < deadline;) {
            ASSERT_FALSE(udpPortBound(ports[i])) << run.output() << run.errors();
            ended = run.waitSince(0, "end\t", std::chrono::seconds(1)).has_value();
        }
        EXPECT_TRUE(ended) << run.output() << run.errors();
        EXPECT_EQ(run.finish(), 1) << run.output() << run.errors();
        EXPECT_NE(run.output().find("end\terror\n"), std::string::npos) << run.output();
    }
}

// A file that never loads (an SDP text waits for RTP packets; a server that never answers keeps
// the player waiting until its own time-out, a minute) still ends at the time limit, or after
// the load's patience of 10 s when that is longer, and as a file that cannot be played: nothing
// played, so the run failed, whatever time it was given.
TEST(PlayProtocols, ARunWhoseFileNeverLoadsFailsAtTheTimeLimit) {
    testing_support::SilentServer server;
    TempDir dir;
    LauncherProcess run(dir.path(), {"--home", (dir / "home").string(), "--play", server.url("http"), "--audio-output",
                                     "null", "--seconds", "1"});
    EXPECT_EQ(run.finish(std::chrono::seconds(40)), 1) << run.output() << run.errors();
    EXPECT_NE(run.output().find("end\terror\n"), std::string::npos) << run.output();
    EXPECT_EQ(run.output().find("loaded\t"), std::string::npos) << run.output();
    EXPECT_NE(run.errors().find("reelhaven: cannot play " + server.url("http") + ": it did not load within 10 s\n"),
              std::string::npos)
        << run.errors();
}

}  // namespace
