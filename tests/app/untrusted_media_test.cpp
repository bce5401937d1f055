// What a stranger can hand the app opens nothing beyond itself: a file uploaded into the library
// (listed, then tapped in the grid) and a "reelhaven:" link (with the playlist entries it leads
// to) never make the app bind a port nor open a file or folder outside what was handed over,
// whatever the content says: an SDP text, an HLS list, an mpv playlist or EDL naming an outside
// file. A library file plays only as the open file that was cleared, with the subtitles the library
// lists for it, each cleared too.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>

#include <atomic>
#include <cmath>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/video.h"
#include "core/video_manager.h"
#include "in_process_host.h"
#include "support/crafted_mp4.h"
#include "support/loopback_http_server.h"
#include "support/reach_watch.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

namespace fs = std::filesystem;
using testing_support::FileOpenWatch;
using testing_support::freeUdpPort;
using testing_support::udpPortBound;
using testing_support::writeFile;

std::string sdp(int port) {
    return "v=0\no=- 0 0 IN IP4 127.0.0.1\ns=camera\nc=IN IP4 127.0.0.1\nt=0 0\nm=video " + std::to_string(port) +
           " RTP/AVP 96\na=rtpmap:96 H264/90000\n";
}

std::string hls(const std::string& segment) {
    return "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n" + segment + "\n#EXT-X-ENDLIST\n";
}

// This process's resident memory and its peak, in kB ("VmRSS", "VmHWM").
long statusKilobytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field + ":", 0) == 0) return std::stol(line.substr(field.size() + 1));
    return -1;
}

// Starts counting this process's peak resident memory again from what it holds now.
bool resetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear.flush());
}

class UntrustedMediaTest : public ::testing::Test, protected InProcessHost<dispatch::ScopedMainRunLoop> {
protected:
    void SetUp() override {
        fs::create_directories(outside.parent_path());
        fs::copy_file(testing_support::testMedia("wide.ts"), outside);
        outsideOpened.emplace(outside);
        outsideFolderOpened.emplace(outside.parent_path());
        ASSERT_GT(port, 0);
    }
    void TearDown() override {
        closePlayer();
        shutDown();
    }

    // The folder's watch sees it listed too (mpv's search for subtitles beside a file).
    // Starts the app and lets its listing end, then counts the peak memory afresh: what comes
    // after is the player's.
    void launchListed() {
        LauncherOptions options;
        options.audioOutput = "null";
        ASSERT_TRUE(launch(options)) << err.str();
        root()->videoManager()->waitForMetadataJobs();
        ASSERT_TRUE(resetPeakMemory());
        m_held = statusKilobytes("VmHWM");
    }
    // Whether the peak since `launchListed` stayed far below what a hostile file takes (1.2 GB).
    ::testing::AssertionResult peakWithinBound() {
        const long more = statusKilobytes("VmHWM") - m_held;
#ifdef __SANITIZE_ADDRESS__
        constexpr long kQuarantine = 256 * 1024;  // freed memory the sanitizer keeps, in kB
#else
        constexpr long kQuarantine = 0;
#endif
        if (more < 300 * 1024 + kQuarantine) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << more << " kB more at the peak than " << m_held;
    }

    bool reachedPast() { return udpPortBound(port) || outsideOpened->opened() || outsideFolderOpened->opened(); }

    // Serves the app until the player it presents has gone again (a file it cannot play closes
    // it), watching all the while for the port and the outside file. Whether it ever reached past.
    ::testing::AssertionResult playsAlone(const std::string& what) {
        bool reached = false;
        const bool closed = waitFor([&] {
            reached = reached || reachedPast();
            return !player();
        });
        if (reached) return ::testing::AssertionFailure() << what << " reached its port or the outside file";
        if (!closed) return ::testing::AssertionFailure() << what << ": the player never closed\n" << screen();
        return ::testing::AssertionSuccess();
    }

    const int port = freeUdpPort();
    const fs::path outside = dir / "outside" / "private.ts";
    std::optional<FileOpenWatch> outsideOpened;
    std::optional<FileOpenWatch> outsideFolderOpened;
    long m_held = 0;
};

TEST_F(UntrustedMediaTest, ALibraryFileIsListedAndPlayedAsThatFileAlone) {
    const std::vector<std::pair<std::string, std::string>> files{
        {"Camera", sdp(port)},
        {"Absolute", hls("file://" + outside.string())},
        {"Relative", hls("../../outside/private.ts")},
        {"Listed", "#EXTM3U\n" + outside.string() + "\n"},
        {"Edited", "# mpv EDL v0\n" + outside.string() + "\n"},
    };
    for (const auto& [name, content] : files) writeFile(documents / (name + ".mp4"), content);
    LauncherOptions options;
    options.audioOutput = "null";
    ASSERT_TRUE(launch(options)) << err.str();
    // The grid has listed the files and asked for their thumbnails and lengths.
    EXPECT_FALSE(reachedPast()) << "the listing reached past a file";
    for (const auto& item : root()->videoManager()->library()) {
        auto video = std::dynamic_pointer_cast<Video>(item);
        ASSERT_TRUE(video) << item->displayName();
        EXPECT_FALSE(video->duration()) << item->displayName() << " shows another file's length";
    }
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(command("tap \"" + name + "\""));
        EXPECT_TRUE(playsAlone(name));
    }
}

// Sample tables of a few hundred bytes that declare fifty million samples: the demuxer would build
// an index of 1.2 GB to open the file, and the player opened it.
TEST_F(UntrustedMediaTest, ALibraryFileWhoseTablesWouldTakeGigabytesIsNeitherListedNorPlayed) {
    writeFile(documents / "Tables.mp4", crafted_mp4::movie({{.samples = 50'000'000}}));
    launchListed();
    const auto library = root()->videoManager()->library();
    ASSERT_EQ(library.size(), 1u);
    EXPECT_FALSE(std::dynamic_pointer_cast<Video>(library.front())->duration());
    ASSERT_TRUE(command("tap \"Tables\""));
    EXPECT_TRUE(playsAlone("Tables"));
    EXPECT_TRUE(peakWithinBound());
}

TEST_F(UntrustedMediaTest, ALinkAndTheEntriesItLeadsToReachTheWebAlone) {
    testing_support::LoopbackHttpServer server;
    server.serve("camera.sdp", sdp(port));
    server.serve("camera.m3u", "#EXTM3U\n" + server.url("camera.sdp") + "\n");
    server.serve("absolute.m3u8", hls("file://" + outside.string()));
    server.serve("files.m3u", "#EXTM3U\n" + outside.string() + "\nfile://" + outside.string() + "\n");
    server.serve("files.pls", "[playlist]\nFile1=" + outside.string() + "\nFile2=file://" + outside.string() +
                                  "\nNumberOfEntries=2\n");
    server.serve("nested.m3u", "#EXTM3U\n" + server.url("files.m3u") + "\n" + server.url("files.pls") + "\n");
    LauncherOptions options;
    options.audioOutput = "null";
    ASSERT_TRUE(launch(options)) << err.str();
    for (const std::string name :
         {"camera.sdp", "camera.m3u", "absolute.m3u8", "files.m3u", "files.pls", "nested.m3u"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(command("open \"reelhaven:" + server.url(name) + "\""));
        EXPECT_TRUE(playsAlone(name));
    }
}

// A neighbour named like a subtitle is a library file too: one that is really a hostile MP4, or far
// larger than any subtitle, is not loaded; a real one is, with the title and language of its name.
TEST_F(UntrustedMediaTest, ALibraryFilePlaysWithTheSubtitlesTheLibraryListsThatWereCleared) {
    fs::copy_file(testing_support::testMedia("wide.mp4"), documents / "Clip.mp4");
    writeFile(documents / "Clip.en.srt", "1\n00:00:00,000 --> 00:00:03,000\nHello\n");
    writeFile(documents / "Clip.srt", crafted_mp4::movie({{.samples = 50'000'000}}));
    writeFile(documents / "Clip.big.srt", "1\n00:00:00,000 --> 00:00:03,000\nPadded\n");
    fs::resize_file(documents / "Clip.big.srt", 40 * 1024 * 1024);  // sparse: no disk to speak of
    launchListed();
    ASSERT_TRUE(command("tap \"Clip\""));
    // The tracks reach the record on the main queue after mpv has loaded the file.
    ASSERT_TRUE(waitFor([&] {
        return player() && player()->session()->hasLoaded(*player()->playbackInfo()) &&
               !player()->playbackInfo()->subtitleTracks().empty();
    })) << screen();
    std::vector<std::string> titles;
    for (const auto& track : player()->playbackInfo()->subtitleTracks()) titles.push_back(track.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"None", "[En] Clip.en.srt "}));
    EXPECT_TRUE(peakWithinBound());
}

// The transfer server moves files by renaming them: a file swapped in under the name while the
// player clears it must never be the one mpv reads.
TEST_F(UntrustedMediaTest, AFileRenamedInWhileLoadingIsNeverPlayedInPlaceOfTheClearedOne) {
    const fs::path clip = documents / "Clip.mp4";
    const fs::path swapped = dir / "swapped.mp4";
    fs::copy_file(testing_support::testMedia("wide.mp4"), clip);
    writeFile(swapped, crafted_mp4::movie({{.samples = 50'000'000}}));
    launchListed();
    std::atomic<bool> stop{false};
    std::atomic<int> swaps{0};
    std::thread renamer([&] {
        while (!stop) {
            if (::renameat2(AT_FDCWD, clip.c_str(), AT_FDCWD, swapped.c_str(), RENAME_EXCHANGE) == 0) ++swaps;
            std::this_thread::yield();
        }
    });
    std::vector<double> played;
    for (int tap = 0; tap < 12; ++tap) {
        SCOPED_TRACE(tap);
        if (!command("tap \"Clip\"")) break;
        const bool ended = waitFor([&] {
            auto shown = player();
            return !shown || shown->session()->hasLoaded(*shown->playbackInfo());
        });
        EXPECT_TRUE(ended) << screen();
        if (auto shown = player()) {
            // mpv's own length of what it opened: the record keeps the listing's.
            played.push_back(shown->session()->doubleProperty("duration").value_or(-1));
            closePlayer();
        }
        waitFor([&] { return !player(); });
    }
    stop = true;
    renamer.join();
    EXPECT_GT(swaps.load(), 0);
    for (double duration : played) EXPECT_NEAR(duration, 4.0, 0.1) << "the player played another file";
    EXPECT_TRUE(peakWithinBound());
}

}  // namespace
}  // namespace reelhaven
