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

}  // namespace

// An SDP text makes FFmpeg wait for RTP packets that never come: the file never loads, and the
// time limit still ends the run (the user named the file, so it is read as SDP all the same).
TEST(PlayProtocols, TheTimeLimitEndsARunWhoseFileNeverLoads) {
    const int port = freeUdpPort();
    ASSERT_GT(port, 0);
    TempDir dir;
    testing_support::writeFile(dir / "stream.sdp",
                               "v=0\no=- 0 0 IN IP4 127.0.0.1\ns=camera\nc=IN IP4 127.0.0.1\nt=0 0\n"
                               "m=video " +
                                   std::to_string(port) +
                                   " RTP/AVP 96\n"
                                   "a=rtpmap:96 H264/90000\n");
    LauncherProcess run(dir.path(), {"--home", (dir / "home").string(), "--play", (dir / "stream.sdp").string(),
                                     "--audio-output", "null", "--seconds", "1"});
    EXPECT_EQ(run.finish(), 0) << run.output() << run.errors();
    EXPECT_NE(run.output().find("end\tafter 1 s\n"), std::string::npos) << run.output();
    EXPECT_EQ(run.output().find("loaded\t"), std::string::npos) << run.output();
}
