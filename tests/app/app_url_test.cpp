// "reelhaven" URLs handed over by other apps, and the network address each one plays.

#include "app/app_url.h"

#include <gtest/gtest.h>

namespace reelhaven {
namespace {

TEST(AppURLTest, TheAddressEachAppURLPlays) {
    const std::pair<const char*, const char*> cases[] = {
        // A whole address after the scheme is used as it is.
        {"reelhaven://https://example.com/a.mp4", "https://example.com/a.mp4"},
        {"reelhaven://http://example.com/a.mp4", "http://example.com/a.mp4"},
        {"reelhaven://ftp://files.example.com/a.mkv", "ftp://files.example.com/a.mkv"},
        // A scheme that lost its colon gets it back.
        {"reelhaven://https//example.com/a.mp4", "https://example.com/a.mp4"},
        {"reelhaven://ftp//files.example.com/x//y.mkv", "ftp://files.example.com/x//y.mkv"},
        {"reelhaven://HTTPS//example.com/a.mp4", "https://example.com/a.mp4"},
        {"reelhaven:FTP://files.example.com/a.mkv", "ftp://files.example.com/a.mkv"},
        // Only the web's and the file servers' schemes: any other is taken for a host, and the
        // address gets "http://" in front.
        {"reelhaven://rtsp//cam/s", "http://rtsp//cam/s"},
        {"reelhaven://rtmps//live.example.com/app/key", "http://rtmps//live.example.com/app/key"},
        {"reelhaven://rtsp://cam/s", "http://rtsp//cam/s"},
        {"reelhaven://RTMP//live.example.com/app", "http://rtmp//live.example.com/app"},
        {"reelhaven:srt://live.example.com:9000", "http://srt//live.example.com:9000"},
        {"reelhaven://mmsh//media.example.com/a", "http://mmsh//media.example.com/a"},
        {"reelhaven://srt://0.0.0.0:9001?mode=listener", "http://srt//0.0.0.0:9001?mode=listener"},
        {"reelhaven://rtp://0.0.0.0:5004?localport=5004", "http://rtp//0.0.0.0:5004?localport=5004"},
        {"reelhaven:udp://0.0.0.0:1234?listen=1", "http://udp//0.0.0.0:1234?listen=1"},
        // A host without a dot is a host, not a scheme that lost its colon.
        {"reelhaven://nas//films/a.mp4", "http://nas//films/a.mp4"},
        // A host and a path get "http://" in front.
        {"reelhaven://example.com/a.mp4", "http://example.com/a.mp4"},
        {"reelhaven://192.168.1.20:8080/live.m3u8", "http://192.168.1.20:8080/live.m3u8"},
        // "//" inside a path is no lost scheme: it stays, and the host stays whole.
        {"reelhaven://example.com/media//a.mp4", "http://example.com/media//a.mp4"},
        {"reelhaven://example.com//a.mp4", "http://example.com//a.mp4"},
        {"reelhaven://192.168.1.20:8080//a.mp4", "http://192.168.1.20:8080//a.mp4"},
        // Without "//" after the scheme the host is not cut short.
        {"reelhaven:example.com/a.mp4", "http://example.com/a.mp4"},
        {"reelhaven:https://example.com/a.mp4", "https://example.com/a.mp4"},
    };
    for (const auto& [given, expected] : cases) {
        auto url = foundation::URL::parse(given);
        ASSERT_TRUE(url) << given;
        auto played = networkURLFromAppURL(*url);
        ASSERT_TRUE(played) << given;
        EXPECT_EQ(played->absoluteString(), expected) << given;
    }
}

// A link from another app or a web page must not make the player read this machine's files,
// descriptors, devices or sockets, or media made up from its text: whatever scheme it names, it
// reaches at most a web server of that name, so a scheme nobody thought of is harmless too.
TEST(AppURLTest, AnAppURLNamingSomethingLocalReachesOnlyAWebServer) {
    const std::pair<const char*, const char*> cases[] = {
        {"reelhaven://file//localhost/etc/passwd", "http://file//localhost/etc/passwd"},
        {"reelhaven://FILE://localhost/etc/passwd", "http://file//localhost/etc/passwd"},
        {"reelhaven://fd//3", "http://fd//3"},
        {"reelhaven://edl//example.com/a.mp4", "http://edl//example.com/a.mp4"},
        {"reelhaven://lavf//file:/etc/passwd", "http://lavf//file:/etc/passwd"},
        {"reelhaven://dvd//0/dev/sr0", "http://dvd//0/dev/sr0"},
        {"reelhaven://av//v4l2:/dev/video0", "http://av//v4l2:/dev/video0"},
        {"reelhaven://file///etc/passwd", "http://file///etc/passwd"},
        {"reelhaven:concat://tmp/x.mp4", "http://concat//tmp/x.mp4"},
        {"reelhaven:concat://etc/passwd", "http://concat//etc/passwd"},
        {"reelhaven:unix://run/x.sock", "http://unix//run/x.sock"},
        {"reelhaven://unix//run/x.sock", "http://unix//run/x.sock"},
        {"reelhaven://subfile//etc/passwd", "http://subfile//etc/passwd"},
        {"reelhaven://crypto//etc/passwd", "http://crypto//etc/passwd"},
        {"reelhaven://cache//etc/passwd", "http://cache//etc/passwd"},
        {"reelhaven://smb//server/share/a.mp4", "http://smb//server/share/a.mp4"},
        {"reelhaven://made-up//example.com/a.mp4", "http://made-up//example.com/a.mp4"},
        {"reelhaven:file:/etc/passwd", "http://file/etc/passwd"},
        {"reelhaven:fd:3", "http://fd:3"},
        // Text that makes no host and port makes no URL at all.
        {"reelhaven:srt:0.0.0.0:9001", nullptr},
        {"reelhaven:https:example.com", nullptr},
    };
    for (const auto& [given, expected] : cases) {
        auto url = foundation::URL::parse(given);
        ASSERT_TRUE(url) << given;
        auto played = networkURLFromAppURL(*url);
        if (!expected) {
            EXPECT_FALSE(played) << given << " plays " << played->absoluteString();
            continue;
        }
        ASSERT_TRUE(played) << given;
        EXPECT_EQ(played->absoluteString(), expected) << given;
    }
}

TEST(AppURLTest, AnAppURLWithoutAnAddressPlaysNothing) {
    for (const char* given : {"reelhaven://", "reelhaven:"}) {
        auto url = foundation::URL::parse(given);
        if (!url) continue;  // not even a URL: nothing reaches the scene
        EXPECT_FALSE(networkURLFromAppURL(*url)) << given;
    }
}

}  // namespace
}  // namespace reelhaven
