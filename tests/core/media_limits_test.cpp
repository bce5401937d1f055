// How far each origin of an address is trusted: the schemes its address may have, and the
// FFmpeg whitelists that hold its reading.

#include "core/media_limits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "core/ffmpeg_input_options.h"

namespace reelhaven {
namespace {

TEST(MediaLimits, EachOriginAllowsTheAddressesItMayHave) {
    struct Case {
        MediaOrigin origin;
        std::string address;
        bool allowed;
    };
    const std::vector<Case> cases{
        {MediaOrigin::libraryFile, "file:///home/u/Documents/a.mp4", true},
        {MediaOrigin::libraryFile, "/home/u/Documents/a:b.mp4", true},  // a path, not a scheme "/home/u/..."
        {MediaOrigin::libraryFile, "http://example.com/a.mp4", false},
        {MediaOrigin::link, "HTTPS://example.com/a.mp4", true},
        {MediaOrigin::link, "ftp://example.com/a.mp4", true},
        {MediaOrigin::link, "rtsp://example.com/a", false},
        {MediaOrigin::link, "file:///etc/passwd", false},
        {MediaOrigin::playlistEntry, "/home/u/private.ts", false},
        {MediaOrigin::playlistEntry, "edl:///home/u/private.ts", false},
        {MediaOrigin::playlistEntry, "srt://0.0.0.0:9001?mode=listener", false},
        {MediaOrigin::chosenByUser, "rtsp://camera/live", true},
        {MediaOrigin::chosenByUser, "/home/u/stream.sdp", true},
    };
    for (const auto& c : cases) EXPECT_EQ(mediaLimits(c.origin).allows(c.address), c.allowed) << c.address;

    // A playlist the user chose may name their files; one from a link or the library may not.
    EXPECT_TRUE(playlistEntryLimits(MediaOrigin::chosenByUser).allows("/home/u/a.mp4"));
    EXPECT_FALSE(playlistEntryLimits(MediaOrigin::chosenByUser).allows("edl:///home/u/a.mp4"));
    for (auto playlist : {MediaOrigin::link, MediaOrigin::libraryFile}) {
        EXPECT_FALSE(playlistEntryLimits(playlist).allows("file:///home/u/a.mp4"));
        EXPECT_TRUE(playlistEntryLimits(playlist).allows("https://example.com/a.mp4"));
    }
}

std::vector<std::string> listed(const std::vector<FFmpegOption>& options, const std::string& name) {
    std::vector<std::string> names;
    for (const auto& option : options) {
        if (option.name != name) continue;
        std::istringstream list(option.value);
        for (std::string entry; std::getline(list, entry, ',');) names.push_back(entry);
    }
    return names;
}

bool contains(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(MediaLimits, FFmpegReadsALibraryFileAloneAndALinkOverTheWebAlone) {
    const auto library = ffmpegInputOptions(mediaLimits(MediaOrigin::libraryFile));
    EXPECT_EQ(listed(library, "protocol_whitelist"), std::vector<std::string>{"file"});
    const auto link = ffmpegInputOptions(mediaLimits(MediaOrigin::link));
    EXPECT_FALSE(contains(listed(link, "protocol_whitelist"), "file"));
    EXPECT_FALSE(contains(listed(link, "protocol_whitelist"), "rtp"));
    EXPECT_TRUE(contains(listed(link, "protocol_whitelist"), "https"));

    // The containers a library holds are read by both; what reaches past its input by neither;
    // manifests only over the web.
    for (const auto& options : {library, link}) {
        const auto demuxers = listed(options, "format_whitelist");
        for (const std::string kept : {"matroska", "mp4", "mpegts", "avi", "asf", "flv", "srt", "ass"})
            EXPECT_TRUE(contains(demuxers, kept)) << kept;
        for (const std::string refused : {"sdp", "rtsp", "rtp", "sap", "concat", "image2", "imf", "mlv"})
            EXPECT_FALSE(contains(demuxers, refused)) << refused;
    }
    EXPECT_FALSE(contains(listed(library, "format_whitelist"), "hls"));
    EXPECT_TRUE(contains(listed(link, "format_whitelist"), "hls"));
    EXPECT_TRUE(ffmpegInputOptions(mediaLimits(MediaOrigin::chosenByUser)).empty());
}

}  // namespace
}  // namespace reelhaven
