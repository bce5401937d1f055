// What a file served over the web may make the player open: a playlist's entries reach the web's
// and the file servers' protocols only, so no entry makes the app listen on this machine's
// interfaces.

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/launcher_process.h"
#include "support/loopback_http_server.h"
#include "support/temp_dir.h"

namespace {

using testing_support::LauncherProcess;
using testing_support::LoopbackHttpServer;
using testing_support::TempDir;

// A UDP port nothing holds now.
int freeUdpPort() {
    const int probe = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    socklen_t length = sizeof address;
    if (probe < 0 || ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return -1;
    ::close(probe);
    return ntohs(address.sin_port);
}

// Whether a UDP socket of this machine's network is bound to `port`.
bool udpPortBound(int port) {
    char hex[8];
    std::snprintf(hex, sizeof hex, ":%04X ", port);
    for (const char* table : {"/proc/net/udp", "/proc/net/udp6"}) {
        std::ifstream lines(table);
        for (std::string line; std::getline(lines, line);) {
            // "  sl  local_address rem_address ...": the local address is the second field.
            const auto local = line.find(':', line.find(':') + 1);
            if (local != std::string::npos && line.compare(local, 6, hex) == 0) return true;
        }
    }
    return false;
}

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
