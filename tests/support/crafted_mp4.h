#pragma once

#include <cstdint>
#include <initializer_list>
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
    // The sample description box (and any box to follow it in the sample table); a 64 x 64
    // H.264 one when empty.
    std::string description;
    std::uint32_t samples = 0;
    std::uint32_t chunks = 1;
    std::uint32_t samplesPerChunk = 0;  // 0: all samples in each chunk
    std::uint32_t sampleDuration = 1;
    std::uint32_t mediaEdits = 0;
    std::uint32_t timescale = 1000;  // of the media's times
};

// Big-endian fields, a box of `body`, and a full box (its version and flags first).
std::string u32(std::initializer_list<std::uint32_t> values);
std::string u16(std::initializer_list<std::uint16_t> values);
std::string box(std::string_view type, std::string_view body);
std::string fullBox(std::string_view type, std::uint32_t versionAndFlags, std::string_view body);

// The boxes every movie has: its file type, the movie's header (of `milliseconds`), a track's
// header, its media's header (times in `timescale`) and the handler of its `type` of media.
std::string fileType();
std::string movieHeader(std::uint32_t milliseconds = 1000);
std::string trackHeader(std::uint32_t id);
std::string mediaHeader(std::uint32_t timescale = 1000);
std::string handler(std::string_view type);

// A picture sample entry's own fields, and a sample description box of one picture entry of `format` (a 64 x 64 `avc1`
// when a track gives none), `boxes` (its codec's configuration) after its fields.
std::string pictureFields(std::uint16_t width, std::uint16_t height);
std::string videoDescription(std::string_view format, std::uint16_t width, std::uint16_t height,
                             std::string_view boxes = {});

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

// A recording of `frames` 16 x 16 H.264 key frames at `frameRate`, fragmented on every frame as a
// camera writes it to keep what it recorded if it stops short (a fragment's seven boxes a frame),
// with the random-access index of its fragments at its end.
std::string recording(std::uint32_t frames, std::uint32_t frameRate);

// `count` empty boxes of eight bytes, one after the other.
std::string emptyBoxes(std::uint32_t count);

}  // namespace crafted_mp4
