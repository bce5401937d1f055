#include "core/mp4_sample_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "support/crafted_mp4.h"
#include "support/test_media.h"

namespace reelhaven {
namespace {

ByteReader readerOf(const std::string& bytes) {
    return [&bytes](std::int64_t offset, std::uint8_t* into, std::int64_t size) -> std::int64_t {
        if (offset < 0 || offset >= static_cast<std::int64_t>(bytes.size())) return 0;
        const auto count = std::min<std::int64_t>(size, static_cast<std::int64_t>(bytes.size()) - offset);
        std::memcpy(into, bytes.data() + offset, static_cast<std::size_t>(count));
        return count;
    };
}

std::string contentsOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

using crafted_mp4::Track;

// What FFmpeg's reader was seen to build for each (1.2 to 1.6 GB from files of a few hundred
// bytes), counted as it builds it.
TEST(Mp4SampleTablesTest, CountsTheIndexTheReaderBuildsForEveryShapeOfTable) {
    constexpr std::uint32_t kMillion = 1'000'000;
    const std::string sound = crafted_mp4::soundDescription("twos", 1, 160);
    const struct {
        const char* name;
        std::string file;
        std::uint64_t entries;
    } cases[] = {
        {"a thousand samples", crafted_mp4::movie({Track{.samples = 1000}}), 1000},
        {"fifty million samples of one size", crafted_mp4::movie({Track{.samples = 50 * kMillion}}), 50 * kMillion},
        {"eight tracks", crafted_mp4::movie(std::vector<Track>(8, Track{.samples = 6 * kMillion})), 48 * kMillion},
        {"a million samples shown by 64 edits", crafted_mp4::movie({Track{.samples = kMillion, .mediaEdits = 64}}),
         64 * kMillion},
        {"a compressed header", crafted_mp4::movie({Track{.samples = 50 * kMillion}}, true), 50 * kMillion},
        // The run's samples, and the fragment's record of its one track.
        {"a fragment's run", crafted_mp4::fragmented(50 * kMillion), 50 * kMillion + 2},
        // A record of each of 1000 tracks for each of 65,535 fragments (4.4 GB from 1.2 MB).
        {"a segment index over many tracks", crafted_mp4::segmentIndexed(1000, 65535), 65535ull * 1000 * 2},
        // Indexed by chunk, a frame of 160 samples an entry: 100 chunks of 16 million samples.
        {"uncompressed sound in large chunks",
         crafted_mp4::movie({Track{
             .handler = "soun", .description = sound, .samples = 10, .chunks = 100, .samplesPerChunk = 16 * kMillion}}),
         100 * (16 * kMillion / 160)},
        // Three hours of 48 kHz sound in chunks of 4096 samples, at most 1024 an entry.
        {"long uncompressed sound",
         crafted_mp4::movie({Track{.handler = "soun",
                                   .description = crafted_mp4::soundDescription("sowt", 0, 0),
                                   .samples = 518 * kMillion,
                                   .chunks = 126'563,
                                   .samplesPerChunk = 4096}}),
         126'563 * 5},
        // Timed otherwise, sound is indexed sample by sample.
        {"sound timed by frames",
         crafted_mp4::movie({Track{.handler = "soun", .description = sound, .samples = 2000, .sampleDuration = 1024}}),
         2000},
        {"no MP4 file", contentsOf(testing_support::testMedia("classic.mkv")), 0},
        {"nothing", "", 0},
    };
    for (const auto& shape : cases) {
        SCOPED_TRACE(shape.name);
        EXPECT_EQ(Mp4SampleTables::indexEntries(readerOf(shape.file)), shape.entries);
        EXPECT_EQ(Mp4SampleTables::withinBound(readerOf(shape.file)), shape.entries <= Mp4SampleTables::kMostEntries);
    }
}

TEST(Mp4SampleTablesTest, AFileTooCostlyToCountIsBeyondTheBound) {
    // A compressed header that would inflate to 17 MB; 2,000 sample-to-chunk tables each claiming
    // to run to the end of the file's 24 MB, which would be read 2,000 times over.
    std::string compressed = crafted_mp4::movie({Track{.samples = 10}}, true);
    const auto at = compressed.find("cmvd") + 4;
    compressed.replace(at, 4, std::string{'\x01', '\x10', '\0', '\0'});
    std::string tables;
    for (int i = 0; i < 2000; ++i) tables += crafted_mp4::fullBox("stsc", 0, crafted_mp4::u32({0xFFFFFFFF}));
    const std::string rereading = crafted_mp4::box("moov", crafted_mp4::box("trak", crafted_mp4::box("stbl", tables))) +
                                  std::string(24 << 20, '\0');
    for (const std::string* file : std::initializer_list<const std::string*>{&compressed, &rereading}) {
        EXPECT_EQ(Mp4SampleTables::indexEntries(readerOf(*file)), std::nullopt);
        EXPECT_FALSE(Mp4SampleTables::withinBound(readerOf(*file)));
    }
}

// A camera that fragments its recording on every frame, so that a stop keeps all but the last
// frame, writes seven boxes a frame: 45 minutes at 60 frames a second is 1.1 million boxes, past
// the million the walk once gave up at, in 22 MB. Read 16 bytes at a time, it took a read a box.
TEST(Mp4SampleTablesTest, ARecordingFragmentedOnEveryFrameIsCountedInFewReads) {
    constexpr std::uint32_t kFrames = 45 * 60 * 60;
    const std::string recording = crafted_mp4::recording(kFrames, 60);
    const ByteReader file = readerOf(recording);
    std::int64_t reads = 0;
    std::int64_t bytesRead = 0;
    const ByteReader counted = [&](std::int64_t offset, std::uint8_t* into, std::int64_t size) {
        ++reads;
        const std::int64_t got = file(offset, into, size);
        bytesRead += std::max<std::int64_t>(got, 0);
        return got;
    };
    const auto entries = Mp4SampleTables::indexEntries(counted);
    ASSERT_TRUE(entries.has_value());
    // Each frame a sample; each fragment, named again by the index at the end, a record of its track.
    EXPECT_EQ(*entries, kFrames + 2ull * (2 * kFrames));
    EXPECT_TRUE(Mp4SampleTables::withinBound(readerOf(recording)));
    const auto blocks = static_cast<std::int64_t>(recording.size()) / kReadBlock + 1;
    EXPECT_LE(reads, blocks + 16) << "of " << recording.size() << " bytes";
    EXPECT_LE(bytesRead, static_cast<std::int64_t>(recording.size()) + 16 * kReadBlock);
    // A million boxes of nothing are counted as nothing.
    EXPECT_EQ(Mp4SampleTables::indexEntries(readerOf(crafted_mp4::emptyBoxes(1'000'001))), 0u);
}

TEST(Mp4SampleTablesTest, EveryClipOfTheTestMediaIsWithinTheBound) {
    for (const char* name : {"wide.mp4", "long.mp4", "long-audio.m4a", "audio.m4a", "reordered.mp4", "rotated.mp4",
                             "interlaced.mp4", "longgop.mp4"}) {
        SCOPED_TRACE(name);
        const std::string file = contentsOf(testing_support::testMedia(name));
        const auto entries = Mp4SampleTables::indexEntries(readerOf(file));
        ASSERT_TRUE(entries.has_value());
        EXPECT_GT(*entries, 0u);
        EXPECT_LE(*entries, Mp4SampleTables::kMostEntries);
    }
}

}  // namespace
}  // namespace reelhaven
