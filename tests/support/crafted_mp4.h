#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// MP4 files built box by box, small files whose tables declare what a test asks: the shapes a
// hostile upload takes. Every file has a file type, a movie header and a little media data.
namespace crafted_mp4 {

// One track's sample tables: `samples` samples of one byte in `chunks` chunks of
// `samplesPerChunk`, each lasting `sampleDuration`; shown `mediaEdits` times by an edit list.
struct Track {
    std::string handler = "vide";
    std::string description;  // the sample description box; a 64 x 64 H.264 one when empty
    std::uint32_t samples = 0;
    std::uint32_t chunks = 1;
    std::uint32_t samplesPerChunk = 0;  // 0: all samples in each chunk
    std::uint32_t sampleDuration = 1;
    std::uint32_t mediaEdits = 0;
};

// A sound sample description of `format`, in QuickTime's `version` (1 states `framed` samples a
// frame).
std::string soundDescription(std::string_view format, int version, std::uint32_t framed);

// A movie of `tracks`; `compressed` puts its header into a zlib-compressed one.
std::string movie(const std::vector<Track>& tracks, bool compressed = false);

// A fragmented movie of one video track whose one fragment runs `samples` samples that carry no
// fields of their own.
std::string fragmented(std::uint32_t samples);

// A fragmented movie of `tracks` empty video tracks whose segment index names `references`
// fragments.
std::string segmentIndexed(std::uint32_t tracks, std::uint16_t references);

// `count` empty boxes of eight bytes, one after the other.
std::string emptyBoxes(std::uint32_t count);

}  // namespace crafted_mp4
