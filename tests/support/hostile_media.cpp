#include "support/hostile_media.h"

#include <string>

#include "support/crafted_h264.h"
#include "support/crafted_mp4.h"
#include "support/crafted_streams.h"
#include "support/sparse_file.h"

namespace hostile_media {

namespace {

namespace fs = std::filesystem;
using crafted_mp4::box;
using crafted_mp4::fullBox;
using crafted_mp4::u32;
using testing_support::SparseFile;

void writeBytes(const fs::path& file, const std::string& bytes) { SparseFile(bytes).write(file); }

// An MP4 box around `body`, which may hold runs of zeros.
SparseFile sparseBox(std::string_view type, const SparseFile& body) {
    return SparseFile(u32({static_cast<std::uint32_t>(8 + body.size())}) + std::string(type)) + body;
}

// A movie of one video track whose sample table holds `tables`, after its media data.
SparseFile movieOf(const SparseFile& tables) {
    const SparseFile media = sparseBox("minf", sparseBox("stbl", tables));
    const SparseFile track =
        sparseBox("trak", crafted_mp4::trackHeader(1) +
                              sparseBox("mdia", crafted_mp4::mediaHeader() + crafted_mp4::handler("vide") + media));
    return SparseFile(crafted_mp4::fileType() + box("mdat", std::string(64, '\0'))) +
           sparseBox("moov", crafted_mp4::movieHeader() + track);
}

// `size`: the samples its table declares. Its movie box is named `hoov`, which FFmpeg reads as a
// movie box and a count of `moov` boxes passes by.
void movieNamedHoov(const fs::path& file, std::uint64_t size) {
    std::string movie = crafted_mp4::movie({{.description = {}, .samples = static_cast<std::uint32_t>(size)}});
    movie.replace(movie.find("moov"), 4, "hoov");
    writeBytes(file, movie);
}

// `size`: the entries its sample encryption box claims. With no initialisation vector of their
// own and no subsamples, each is read from no bytes at all and copied from the track's default.
void sampleEncryption(const fs::path& file, std::uint64_t size) {
    // Protected by one key under a constant initialisation vector.
    const std::string encryption =
        fullBox("tenc", 0, std::string{0, 0, 1, 0} + std::string(16, '\x11') + '\x10' + std::string(16, '\x22'));
    const std::string protection =
        box("sinf", box("frma", "avc1") + fullBox("schm", 0, "cenc" + u32({0x10000})) + box("schi", encryption));
    const std::string description =
        crafted_mp4::videoDescription("encv", 64, 64, box("avcC", crafted_h264::configuration({64, 64})) + protection);
    const std::string claim = fullBox("senc", 0, u32({static_cast<std::uint32_t>(size)}));
    writeBytes(file, crafted_mp4::movie({{.description = description + claim, .samples = 10}}));
}

// `size`: the samples in each of its 20 chunks. Its sound description makes FFmpeg read it as
// uncompressed sound, indexed chunk by chunk in entries of at most 1024 samples, but it names no
// handler, so a count of sound tracks passes it by.
void soundWithoutSoundHandler(const fs::path& file, std::uint64_t size) {
    writeBytes(file, crafted_mp4::movie({{.handler = std::string(4, '\0'),
                                          .description = crafted_mp4::soundDescription("twos", 0, 0),
                                          .samples = 10,
                                          .chunks = 20,
                                          .samplesPerChunk = static_cast<std::uint32_t>(size)}}));
}

// `size`: the file's length, nearly all of it a chunk offset table (of zeros, sparse), each entry
// of which FFmpeg keeps in eight bytes.
void chunkOffsets(const fs::path& file, std::uint64_t size) {
    const SparseFile tables = SparseFile(crafted_mp4::videoDescription("avc1", 64, 64) + fullBox("stts", 0, u32({0})) +
                                         fullBox("stsc", 0, u32({0})) + fullBox("stsz", 0, u32({0, 0})));
    const std::uint64_t around = movieOf(tables).size() + 16;
    const std::uint64_t entries = size > around ? (size - around) / 4 : 1;
    // The table is the movie's last box, running to the file's end.
    movieOf(tables + sparseBox("stco", SparseFile(u32({0, static_cast<std::uint32_t>(entries)})) +
                                           SparseFile::zeros(entries * 4)))
        .write(file);
}

// `size`: the length of its stream's decoder configuration (`avcC`): a real one, then zeros
// (sparse), all of which FFmpeg reads and copies to each decoder and parser it opens.
void largeCodecConfiguration(const fs::path& file, std::uint64_t size) {
    const std::string configuration = crafted_h264::configuration({64, 64});
    const std::uint64_t padding = size > configuration.size() ? size - configuration.size() : 0;
    const SparseFile entry =
        sparseBox("avc1", crafted_mp4::pictureFields(64, 64) +
                              sparseBox("avcC", SparseFile(configuration) + SparseFile::zeros(padding)));
    const std::string oneSample = fullBox("stts", 0, u32({1, 1, 1000})) + fullBox("stsc", 0, u32({1, 1, 1, 1})) +
                                  fullBox("stsz", 0, u32({1, 1})) + fullBox("stco", 0, u32({1, 40}));
    movieOf(sparseBox("stsd", SparseFile(u32({0, 1})) + entry) + oneSample).write(file);
}

// `size`: its streams. Each is a second of 64 x 64 H.264 pictures in a transport stream; FFmpeg
// keeps a parser and a decoder's context for every one (about 0.84 MB each, whatever the size of
// their pictures).
void manyStreams(const fs::path& file, std::uint64_t size) {
    writeBytes(file, crafted_streams::transportStream(static_cast<int>(size), 25, {64, 64}));
}

// `size`: the picture's side. An SVG text, which FFmpeg finds by its contents (an XML text
// outbids the name's extension), each filter of whose chain is a picture of its whole size.
void filteredVectorPicture(const fs::path& file, std::uint64_t size) {
    const std::string side = std::to_string(size);
    std::string chain = "<feFlood flood-color=\"#4080c0\" result=\"r0\"/>\n";
    for (int i = 1; i <= 6; ++i)
        chain += "<feOffset in=\"r" + std::to_string(i - 1) + "\" dx=\"" + std::to_string(i) + "\" result=\"r" +
                 std::to_string(i) + "\"/>\n";
    writeBytes(file, "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + side +
                         "\" height=\"" + side + "\">\n<filter id=\"f\" x=\"0\" y=\"0\" width=\"1\" height=\"1\">\n" +
                         chain +
                         "<feMerge><feMergeNode in=\"r2\"/><feMergeNode in=\"r4\"/><feMergeNode in=\"r6\"/></feMerge>\n"
                         "</filter>\n<rect width=\"100%\" height=\"100%\" filter=\"url(#f)\"/>\n</svg>\n");
}

// `size`: the picture's side. A TIFF picture in colour whose one strip, deflated, is a few
// hundred kilobytes; the decoder inflates it whole beside the picture.
void deflatedStrip(const fs::path& file, std::uint64_t size) {
    const std::string strip = crafted_streams::deflatedZeros(size * size * 3);
    const auto side = static_cast<std::uint32_t>(size);
    writeBytes(file, crafted_streams::tiff(side, side, strip));
}

// `size`: the attachment's length (zeros, sparse). Matroska attachments FFmpeg reads whole while it
// opens the file, where no walk that hides them reaches: in an attachments element of unknown
// size, after 17 void elements before the segment, after 5,000 void elements in it.
void attachmentOfUnknownSize(const fs::path& file, std::uint64_t size) {
    crafted_streams::matroskaWithAttachment({.attachment = size, .attachmentsSizeUnknown = true}).write(file);
}

void attachmentAfterVoidsBeforeTheSegment(const fs::path& file, std::uint64_t size) {
    crafted_streams::matroskaWithAttachment({.attachment = size, .voidsBeforeSegment = 17}).write(file);
}

void attachmentAfterVoidsInTheSegment(const fs::path& file, std::uint64_t size) {
    crafted_streams::matroskaWithAttachment({.attachment = size, .voidsBeforeAttachments = 5000}).write(file);
}

constexpr std::uint64_t kMegabyte = 1'000'000;

}  // namespace

const std::vector<Shape>& shapes() {
    static const std::vector<Shape> all = {
        {"hoov", "hoov.mp4", "1,200 MiB (50 million samples)", 1000, 50'000'000, movieNamedHoov},
        {"senc", "senc.mp4", "986 MiB (2 million entries)", 1000, 2'000'000, sampleEncryption},
        {"twos", "twos.mov", "1,015 MiB (20 chunks of 2^31 - 1 samples)", 4096, (1u << 31) - 1,
         soundWithoutSoundHandler},
        {"stco", "stco.mp4", "437 MiB (200 MB)", 64 * 1024, 200 * kMegabyte, chunkOffsets},
        {"streams", "streams.ts", "864 MiB (990 streams, 4.7 MB)", 4, 990, manyStreams},
        {"svg", "svg.mkv", "2,156 MiB and 12 s (6500 x 6500)", 64, 6500, filteredVectorPicture},
        {"avcC", "avcc.mp4", "1,199 MiB (200 MB)", 64 * 1024, 200 * kMegabyte, largeCodecConfiguration},
        {"tiff", "tiff.mkv", "440 MiB (8192 x 8192)", 64, 8192, deflatedStrip},
        {"attachment-unknown-size", "unknown-size.mkv", "629 MiB (200 MB)", 64 * 1024, 200 * kMegabyte,
         attachmentOfUnknownSize},
        {"attachment-after-17-voids", "voids-before-segment.mkv", "629 MiB (200 MB)", 64 * 1024, 200 * kMegabyte,
         attachmentAfterVoidsBeforeTheSegment},
        {"attachment-after-5000-voids", "voids-in-segment.mkv", "629 MiB (200 MB)", 64 * 1024, 200 * kMegabyte,
         attachmentAfterVoidsInTheSegment},
    };
    return all;
}

fs::path write(const Shape& shape, const fs::path& folder, Scale scale) {
    const fs::path file = folder / shape.fileName;
    shape.build(file, shape.size(scale));
    return file;
}

}  // namespace hostile_media
