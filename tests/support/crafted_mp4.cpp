#include "support/crafted_mp4.h"

#include "support/crafted_h264.h"

#include <zlib.h>

#include <algorithm>
#include <initializer_list>
#include <stdexcept>

namespace crafted_mp4 {

std::string u32(std::initializer_list<std::uint32_t> values) {
    std::string bytes;
    for (std::uint32_t value : values)
        for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(value >> shift & 0xFF);
    return bytes;
}

std::string u16(std::initializer_list<std::uint16_t> values) {
    std::string bytes;
    for (std::uint16_t value : values) bytes += {static_cast<char>(value >> 8), static_cast<char>(value & 0xFF)};
    return bytes;
}

std::string box(std::string_view type, std::string_view body) {
    return u32({static_cast<std::uint32_t>(8 + body.size())}) + std::string(type) + std::string(body);
}

std::string fullBox(std::string_view type, std::uint32_t versionAndFlags, std::string_view body) {
    return box(type, u32({versionAndFlags}) + std::string(body));
}

std::string pictureFields(std::uint16_t width, std::uint16_t height) {
    return std::string(6, '\0') + u16({1}) + std::string(16, '\0') + u16({width, height}) +
           u32({0x480000, 0x480000, 0}) + u16({1}) + std::string(32, '\0') + u16({24, 0xFFFF});
}

std::string videoDescription(std::string_view format, std::uint16_t width, std::uint16_t height,
                             std::string_view boxes) {
    return fullBox("stsd", 0, u32({1}) + box(format, pictureFields(width, height) + std::string(boxes)));
}

namespace {

const std::string kIdentityMatrix = u32({0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000});

}  // namespace

std::string fileType() { return box("ftyp", "isom" + u32({512}) + "isommp41"); }

std::string movieHeader(std::uint32_t milliseconds) {
    return fullBox("mvhd", 0,
                   u32({0, 0, 1000, milliseconds, 0x10000}) + u16({0x100}) + std::string(10, '\0') + kIdentityMatrix +
                       std::string(24, '\0') + u32({2}));
}

std::string trackHeader(std::uint32_t id) {
    return fullBox("tkhd", 3, u32({0, 0, id, 0, 1000, 0, 0, 0, 0}) + kIdentityMatrix + u32({64 << 16, 64 << 16}));
}

std::string mediaHeader(std::uint32_t timescale) {
    return fullBox("mdhd", 0, u32({0, 0, timescale, 1000}) + u16({0x55C4, 0}));
}

std::string handler(std::string_view type) {
    return fullBox("hdlr", 0, u32({0}) + std::string(type) + std::string(12, '\0') + "x" + '\0');
}

namespace {

std::string sampleTables(const Track& track) {
    const std::uint32_t perChunk = track.samplesPerChunk ? track.samplesPerChunk : track.samples;
    // Every chunk's offset is written: the reader takes no more chunks than the file holds.
    std::string offsets = u32({track.chunks});
    for (std::uint32_t i = 0; i < track.chunks; ++i) offsets += u32({48});
    const bool empty = track.samples == 0;
    return box("stbl", (track.description.empty() ? videoDescription("avc1", 64, 64) : track.description) +
                           fullBox("stts", 0, empty ? u32({0}) : u32({1, track.samples, track.sampleDuration})) +
                           fullBox("stsc", 0, empty ? u32({0}) : u32({1, 1, perChunk, 1})) +
                           fullBox("stsz", 0, u32({empty ? 0u : 1u, track.samples})) +
                           fullBox("stco", 0, empty ? u32({0}) : offsets));
}

std::string trackBox(std::uint32_t id, const Track& track) {
    std::string body = trackHeader(id);
    if (track.mediaEdits) {
        std::string edits = u32({track.mediaEdits});
        // Each shows the whole track from its start.
        for (std::uint32_t i = 0; i < track.mediaEdits; ++i) edits += u32({track.samples, 0, 0x10000});
        body += box("edts", fullBox("elst", 0, edits));
    }
    body += box("mdia", mediaHeader(track.timescale) + handler(track.handler) + box("minf", sampleTables(track)));
    return box("trak", body);
}

std::string fileOf(const std::string& header, const std::string& rest = {}) {
    return fileType() + header + rest + box("mdat", std::string(64, '\0'));
}

}  // namespace

std::string soundDescription(std::string_view format, int version, std::uint32_t framed) {
    std::string entry = std::string(6, '\0') + u16({1, static_cast<std::uint16_t>(version), 0}) + std::string(4, '\0') +
                        u16({2, 16, 0, 0}) + u32({44100u << 16});
    if (version == 1) entry += u32({framed, 0, 2, 2});
    return fullBox("stsd", 0, u32({1}) + box(format, entry));
}

std::string movie(const std::vector<Track>& tracks, bool compressed) {
    std::string body = movieHeader();
    for (std::size_t i = 0; i < tracks.size(); ++i) body += trackBox(static_cast<std::uint32_t>(i + 1), tracks[i]);
    if (!compressed) return fileOf(box("moov", body));
    uLongf length = compressBound(static_cast<uLong>(body.size()));
    std::string packed(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &length, reinterpret_cast<const Bytef*>(body.data()),
                  static_cast<uLong>(body.size()), 9) != Z_OK)
        throw std::runtime_error("zlib could not compress a movie header");
    packed.resize(length);
    const std::string header =
        box("cmov", box("dcom", "zlib") + box("cmvd", u32({static_cast<std::uint32_t>(body.size())}) + packed));
    return fileOf(box("moov", header));
}

// A fragmented movie's header: `tracks` empty video tracks and their fragments' defaults.
std::string fragmentedHeader(std::uint32_t tracks) {
    std::string body = movieHeader();
    std::string defaults;
    for (std::uint32_t id = 1; id <= tracks; ++id) {
        body += trackBox(id, Track{});
        defaults += fullBox("trex", 0, u32({id, 1, 1, 1, 0}));
    }
    return box("moov", body + box("mvex", defaults));
}

std::string segmentIndexed(std::uint32_t tracks, std::uint16_t references) {
    // Each reference: its size, its duration, and a stream access point at its start.
    std::string index = u32({1, 1000, 0, 0}) + u16({0, references});
    for (std::uint16_t i = 0; i < references; ++i) index += u32({100, 1000, 0x90000000});
    return fileOf(fragmentedHeader(tracks), fullBox("sidx", 0, index));
}

std::string fragmented(std::uint32_t samples) {
    const std::string header = fragmentedHeader(1);
    // The run gives its data's offset alone; every sample takes the fragment's defaults.
    const std::string run = fullBox("trun", 1, u32({samples, 0}));
    const std::string fragment =
        box("moof", fullBox("mfhd", 0, u32({1})) +
                        box("traf", fullBox("tfhd", 0x20, u32({1, 1})) + fullBox("tfdt", 0, u32({0})) + run));
    return fileOf(header, fragment);
}

std::string emptyBoxes(std::uint32_t count) {
    std::string boxes;
    boxes.reserve(static_cast<std::size_t>(count) * 8);
    for (std::uint32_t i = 0; i < count; ++i) boxes += box("free", "");
    return boxes;
}

std::string recording(std::uint32_t frames, std::uint32_t frameRate) {
    const crafted_h264::Picture picture;
    const auto milliseconds = static_cast<std::uint32_t>(std::uint64_t{frames} * 1000 / frameRate);
    // One frame a tick; each frame a key frame of its own size, lasting one tick.
    const Track video{
        .description = videoDescription("avc1", 16, 16, box("avcC", crafted_h264::configuration(picture))),
        .timescale = frameRate};
    const std::string header = box(
        "moov", movieHeader(milliseconds) + trackBox(1, video) +
                    box("mvex", fullBox("mehd", 0, u32({milliseconds})) + fullBox("trex", 0, u32({1, 1, 1, 0, 0}))));
    std::string file = fileType() + header;
    // The random-access index at the end names every fragment: its time, where it starts, and its
    // first fragment, run and sample.
    std::string randomAccess = u32({1, 0, frames});
    for (std::uint32_t frame = 0; frame < frames; ++frame) {
        const std::string sample =
            crafted_h264::lengthPrefixed({crafted_h264::refreshSlice(picture, static_cast<int>(frame % 2))});
        const auto size = static_cast<std::uint32_t>(sample.size());
        // Its defaults in the fragment's header (base at the fragment, one tick, its size, a key
        // frame), the run giving where its data starts.
        const std::string trackFragment =
            box("traf", fullBox("tfhd", 0x020038, u32({1, 1, size, 0x02000000})) +
                            fullBox("tfdt", 0x01000000, u32({0, frame})) + fullBox("trun", 1, u32({1, 0})));
        std::string fragment = box("moof", fullBox("mfhd", 0, u32({frame + 1})) + trackFragment);
        const auto dataOffset = static_cast<std::uint32_t>(fragment.size() + 8);
        fragment.replace(fragment.size() - 4, 4, u32({dataOffset}));
        randomAccess += u32({0, frame, 0, static_cast<std::uint32_t>(file.size())}) + std::string(3, '\1');
        file += fragment + box("mdat", sample);
    }
    const std::string index = fullBox("tfra", 0x01000000, randomAccess);
    return file + box("mfra", index + fullBox("mfro", 0, u32({static_cast<std::uint32_t>(index.size() + 24)})));
}

}  // namespace crafted_mp4
