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
        // Any scheme, not only the web's.
        {"reelhaven://rtsp//cam/s", "rtsp://cam/s"},
        {"reelhaven://rtmps//live.example.com/app/key", "rtmps://live.example.com/app/key"},
        {"reelhaven://rtsp://cam/s", "rtsp://cam/s"},
        {"reelhaven://RTMP//live.example.com/app", "rtmp://live.example.com/app"},
        {"reelhaven:srt://live.example.com:9000", "srt://live.example.com:9000"},
        {"reelhaven://mmsh//media.example.com/a", "mmsh://media.example.com/a"},
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
// descriptors, devices or sockets, or media made up from its text: only network schemes pass,
// so a scheme nobody thought of is refused too.
TEST(AppURLTest, AnAppURLNamingSomethingLocalPlaysNothing) {
    for (const char* given :
         {"reelhaven://file//localhost/etc/passwd", "reelhaven://FILE://localhost/etc/passwd", "reelhaven://fd//3",
          "reelhaven://edl//example.com/a.mp4", "reelhaven://lavf//file:/etc/passwd", "reelhaven://dvd//0/dev/sr0",
          "reelhaven://av//v4l2:/dev/video0", "reelhaven://file///etc/passwd", "reelhaven:concat://tmp/x.mp4",
          "reelhaven:concat://etc/passwd", "reelhaven:unix://run/x.sock", "reelhaven://unix//run/x.sock",
          "reelhaven://subfile//etc/passwd", "reelhaven://crypto//etc/passwd", "reelhaven://cache//etc/passwd",
          "reelhaven://smb//server/share/a.mp4", "reelhaven://made-up//example.com/a.mp4"}) {
        auto url = foundation::URL::parse(given);
        ASSERT_TRUE(url) << given;
        auto played = networkURLFromAppURL(*url);
        EXPECT_FALSE(played) << given << " plays " << played->absoluteString();
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
