#include "core/mp4_sample_tables.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <limits>
#include <vector>

namespace reelhaven {

namespace {

constexpr std::uint32_t tag(const char (&name)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[3]));
}

// Bounds on the walk, so that a damaged or hostile file costs little to look at: nesting, the
// compressed headers inflated to be looked into, all together (one can hold another), and the
// sample-to-chunk entries read, all together (each table is read to the file's end when its count
// says so, and a file of many such tables would be read again for each). Boxes are not counted:
// every box takes 8 bytes or more, so a walk is as long as its file at each depth, and a recording
// fragmented on every frame has seven a frame (over a million in 35 minutes at 30 frames a second
// with its sound).
constexpr int kDeepest = 16;
constexpr std::uint64_t kLargestCompressedHeader = 16 << 20;
constexpr std::uint64_t kMostChunkEntriesRead = 16 << 20;
// Table entries are read this many bytes at a time.
constexpr std::int64_t kPiece = 64 * 1024;

// The reader's split of uncompressed sound: entries of at most 1024 samples (at least 865 where a
// frame holds several), or of one frame where a frame holds 160 samples or more (GSM, iLBC).
constexpr std::uint64_t kSamplesPerSoundEntry = 865;
constexpr std::uint64_t kSamplesPerSpeechFrame = 160;

constexpr std::uint64_t kAll = std::numeric_limits<std::uint64_t>::max();

std::uint64_t add(std::uint64_t a, std::uint64_t b) { return a > kAll - b ? kAll : a + b; }
std::uint64_t multiply(std::uint64_t a, std::uint64_t b) { return b != 0 && a > kAll / b ? kAll : a * b; }

std::uint32_t be32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
           static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

std::uint64_t be64(const std::uint8_t* bytes) {
    return static_cast<std::uint64_t>(be32(bytes)) << 32 | be32(bytes + 4);
}

// What one track's tables declare. Where a table comes twice, the larger count is kept.
struct Track {
    bool sound = false;
    std::uint64_t samples = 0;
    std::uint64_t chunks = 0;
    std::uint64_t mostSamplesPerChunk = 0;
    // One time-to-sample entry of duration 1: uncompressed sound, indexed by chunk.
    bool timedBySample = false;
    std::uint64_t samplesPerEntry = kSamplesPerSoundEntry;
    // Edits that show the track's own samples; the reader indexes its samples once for each.
    std::uint64_t mediaEdits = 0;

    std::uint64_t entries() const {
        const std::uint64_t once = sound && timedBySample
                                       ? multiply(chunks, (mostSamplesPerChunk + samplesPerEntry - 1) / samplesPerEntry)
                                       : samples;
        return multiply(once, std::max<std::uint64_t>(mediaEdits, 1));
    }
};

struct Box {
    std::uint32_t type = 0;
    std::int64_t start = 0;  // of its header
    std::int64_t body = 0;   // where its contents begin
    std::int64_t end = 0;
};

class Walk {
public:
    // Counts the boxes of the span [from, to) of what `read` reads, and those they hold.
    void boxes(const ByteReader& read, std::int64_t from, std::int64_t to, int depth, Track* track) {
        for (std::int64_t at = from; at < to && !m_failed;) {
            const auto box = header(read, at, to);
            if (!box) return;
            look(read, *box, depth, track);
            at = box->end;
        }
    }

    // The samples' entries, and those of the fragment index: the reader keeps, for each fragment it
    // knows of (a movie fragment, a segment index's reference, a random-access entry), a record of
    // every track (about 67 bytes, counted as two entries).
    std::optional<std::uint64_t> entries() const {
        if (m_failed) return std::nullopt;
        return add(m_entries, multiply(multiply(m_fragments, std::max<std::uint64_t>(m_tracks, 1)), 2));
    }

private:
    // The box whose header is at `at`, ending at most at `to`, as the reader takes it: a size of 0
    // runs to the end of its parent, one of 1 is given in 64 bits, a smaller one ends the list.
    static std::optional<Box> header(const ByteReader& read, std::int64_t at, std::int64_t to) {
        std::uint8_t bytes[16];
        const std::int64_t got = read(at, bytes, std::min<std::int64_t>(sizeof bytes, to - at));
        if (got < 8) return std::nullopt;
        std::uint64_t size = be32(bytes);
        int headerLength = 8;
        if (size == 1) {
            if (got < 16) return std::nullopt;
            size = be64(bytes + 8);
            headerLength = 16;
        } else if (size == 0) {
            size = static_cast<std::uint64_t>(to - at);
        }
        if (size < static_cast<std::uint64_t>(headerLength)) return std::nullopt;
        Box box;
        box.type = be32(bytes + 4);
        box.start = at;
        box.body = at + headerLength;
        box.end = size > static_cast<std::uint64_t>(to - at) ? to : at + static_cast<std::int64_t>(size);
        if (box.body > box.end) return std::nullopt;
        return box;
    }

    // Reads `size` bytes at `at`; false when fewer are there.
    static bool readExactly(const ByteReader& read, std::int64_t at, std::uint8_t* into, std::int64_t size) {
        return read(at, into, size) == size;
    }

    void look(const ByteReader& read, const Box& box, int depth, Track* track) {
        switch (box.type) {
            case tag("moov"):
            case tag("mdia"):
            case tag("minf"):
            case tag("stbl"):
            case tag("edts"):
            case tag("traf"):
            case tag("mfra"):
                if (depth < kDeepest) boxes(read, box.body, box.end, depth + 1, track);
                return;
            case tag("moof"):
                m_fragments = add(m_fragments, 1);
                if (depth < kDeepest) boxes(read, box.body, box.end, depth + 1, track);
                return;
            case tag("sidx"): return segmentIndex(read, box);
            case tag("tfra"): m_fragments = add(m_fragments, fieldAt(read, box, 12)); return;
            case tag("trak"): {
                if (depth >= kDeepest) return;
                ++m_tracks;
                Track own;
                boxes(read, box.body, box.end, depth + 1, &own);
                m_entries = add(m_entries, own.entries());
                return;
            }
            case tag("cmov"): return compressedHeader(read, box, depth, track);
            case tag("trun"): m_entries = add(m_entries, fieldAt(read, box, 4)); return;
            default: break;
        }
        if (!track) return;
        switch (box.type) {
            case tag("hdlr"): return handler(read, box, *track);
            case tag("stsd"): return sampleDescription(read, box, *track);
            case tag("stts"): return timeToSample(read, box, *track);
            case tag("stsz"): track->samples = std::max<std::uint64_t>(track->samples, fieldAt(read, box, 8)); return;
            case tag("stz2"): track->samples = std::max<std::uint64_t>(track->samples, fieldAt(read, box, 8)); return;
            case tag("stco"):
            case tag("co64"): track->chunks = std::max<std::uint64_t>(track->chunks, fieldAt(read, box, 4)); return;
            case tag("stsc"): return sampleToChunk(read, box, *track);
            case tag("elst"): return editList(read, box, *track);
            default: return;
        }
    }

    // The 32-bit field `offset` bytes into the box's contents; 0 where it is cut off.
    static std::uint32_t fieldAt(const ByteReader& read, const Box& box, std::int64_t offset) {
        std::uint8_t bytes[4];
        if (box.body + offset + 4 > box.end || !readExactly(read, box.body + offset, bytes, 4)) return 0;
        return be32(bytes);
    }

    // The handler a media box names: sound, or another kind (the data handler a QuickTime media
    // information box also holds names neither).
    static void handler(const ByteReader& read, const Box& box, Track& track) {
        const std::uint32_t type = fieldAt(read, box, 8);
        if (type == tag("soun")) track.sound = true;
        if (type == tag("vide")) track.sound = false;
    }

    // The first sample description's frame size, for sound: QuickTime's version 1 and 2 sound
    // descriptions state the samples of a frame, and GSM and iLBC are read by the frame.
    static void sampleDescription(const ByteReader& read, const Box& box, Track& track) {
        std::uint8_t entry[72] = {};
        const std::int64_t at = box.body + 8;
        if (box.end - at < 18) return;
        const std::int64_t got = read(at, entry, std::min<std::int64_t>(sizeof entry, box.end - at));
        if (got < 18) return;
        const std::uint32_t format = be32(entry + 4);
        const unsigned version = static_cast<unsigned>(entry[16]) << 8 | entry[17];
        std::uint64_t framed = 0;
        if (version == 1 && got >= 40) framed = be32(entry + 36);
        if (version == 2 && got >= 72) framed = be32(entry + 68);
        if (format == tag("agsm") || format == tag("ilbc"))
            track.samplesPerEntry = kSamplesPerSpeechFrame;
        else if (framed >= kSamplesPerSpeechFrame)
            track.samplesPerEntry = framed;
        else
            track.samplesPerEntry = kSamplesPerSoundEntry;
    }

    static void timeToSample(const ByteReader& read, const Box& box, Track& track) {
        std::uint8_t bytes[16];
        if (box.end - box.body < 16 || !readExactly(read, box.body, bytes, 16)) {
            track.timedBySample = false;
            return;
        }
        track.timedBySample = be32(bytes + 4) == 1 && be32(bytes + 12) == 1;
    }

    // The largest chunk. The reader takes as many entries as the count says while the file has
    // bytes, past the box's end too.
    void sampleToChunk(const ByteReader& read, const Box& box, Track& track) {
        constexpr std::int64_t kEntry = 12;
        std::uint64_t left = fieldAt(read, box, 4);
        std::vector<std::uint8_t> piece(static_cast<std::size_t>(kPiece / kEntry * kEntry));
        for (std::int64_t at = box.body + 8; left > 0;) {
            const std::int64_t want =
                static_cast<std::int64_t>(std::min<std::uint64_t>(left, piece.size() / kEntry)) * kEntry;
            const std::int64_t got = read(at, piece.data(), want);
            if (got < kEntry) return;
            for (std::int64_t i = 0; i + kEntry <= got; i += kEntry)
                track.mostSamplesPerChunk = std::max<std::uint64_t>(track.mostSamplesPerChunk, be32(&piece[i + 4]));
            left -= static_cast<std::uint64_t>(got / kEntry);
            at += got / kEntry * kEntry;
            m_chunkEntriesRead += static_cast<std::uint64_t>(got / kEntry);
            if (m_chunkEntriesRead > kMostChunkEntriesRead) {
                m_failed = true;
                return;
            }
        }
    }

    // The edits that show media (a time of -1 is an empty one), within the box.
    static void editList(const ByteReader& read, const Box& box, Track& track) {
        std::uint8_t start[8];
        if (box.end - box.body < 8 || !readExactly(read, box.body, start, 8)) return;
        const bool wide = start[0] == 1;
        const std::int64_t entry = wide ? 20 : 12;
        std::uint64_t left = be32(start + 4);
        std::uint64_t media = 0;
        std::vector<std::uint8_t> piece(static_cast<std::size_t>(kPiece / entry * entry));
        for (std::int64_t at = box.body + 8; left > 0 && at + entry <= box.end;) {
            const std::int64_t room = (box.end - at) / entry;
            const std::int64_t count = static_cast<std::int64_t>(
                std::min<std::uint64_t>({left, piece.size() / entry, static_cast<std::uint64_t>(room)}));
            if (!readExactly(read, at, piece.data(), count * entry)) break;
            for (std::int64_t i = 0; i < count; ++i) {
                const std::uint8_t* time = &piece[static_cast<std::size_t>(i * entry + (wide ? 8 : 4))];
                const bool empty = wide ? be64(time) == kAll : be32(time) == 0xFFFFFFFFu;
                if (!empty) ++media;
            }
            left -= static_cast<std::uint64_t>(count);
            at += count * entry;
        }
        track.mediaEdits = std::max(track.mediaEdits, media);
    }

    // A segment index's references, each a fragment to the reader.
    void segmentIndex(const ByteReader& read, const Box& box) {
        std::uint8_t version = 0;
        if (box.end - box.body < 1 || !readExactly(read, box.body, &version, 1)) return;
        const std::int64_t at = box.body + (version == 0 ? 22 : 30);
        std::uint8_t count[2];
        if (at + 2 > box.end || !readExactly(read, at, count, 2)) return;
        m_fragments = add(m_fragments, static_cast<std::uint64_t>(count[0]) << 8 | count[1]);
    }

    // A header compressed with zlib: "dcom" names the method, "cmvd" holds the inflated size and
    // the data. The reader inflates it whole, to as much as it says; it is looked into inflated.
    void compressedHeader(const ByteReader& read, const Box& box, int depth, Track* track) {
        for (std::int64_t at = box.body; at < box.end && !m_failed;) {
            const auto part = header(read, at, box.end);
            if (!part) return;
            at = part->end;
            if (part->type != tag("cmvd")) continue;
            const std::uint64_t inflatedSize = fieldAt(read, *part, 0);
            const std::int64_t compressedSize = part->end - part->body - 4;
            m_inflated = add(m_inflated, inflatedSize);
            if (m_inflated > kLargestCompressedHeader ||
                compressedSize > static_cast<std::int64_t>(kLargestCompressedHeader)) {
                m_failed = true;
                return;
            }
            if (compressedSize <= 0) return;
            std::vector<std::uint8_t> compressed(static_cast<std::size_t>(compressedSize));
            if (!readExactly(read, part->body + 4, compressed.data(), compressedSize)) return;
            std::vector<std::uint8_t> inflated(static_cast<std::size_t>(inflatedSize));
            uLongf length = static_cast<uLongf>(inflated.size());
            // The reader gives up on a header that does not inflate.
            if (::uncompress(inflated.data(), &length, compressed.data(), static_cast<uLong>(compressed.size())) !=
                Z_OK)
                return;
            const ByteReader memory = [&inflated, length](std::int64_t offset, std::uint8_t* into, std::int64_t size) {
                if (offset < 0 || static_cast<std::uint64_t>(offset) >= length) return std::int64_t{0};
                const std::int64_t count = std::min<std::int64_t>(size, static_cast<std::int64_t>(length) - offset);
                std::copy_n(inflated.begin() + offset, count, into);
                return count;
            };
            if (depth < kDeepest) boxes(memory, 0, static_cast<std::int64_t>(length), depth + 1, track);
        }
    }

    std::uint64_t m_entries = 0;
    std::uint64_t m_tracks = 0;
    std::uint64_t m_fragments = 0;
    std::uint64_t m_chunkEntriesRead = 0;
    std::uint64_t m_inflated = 0;
    bool m_failed = false;
};

}  // namespace

std::optional<std::uint64_t> Mp4SampleTables::indexEntries(const ByteReader& read) {
    Walk walk;
    walk.boxes(bufferedReader(read), 0, std::numeric_limits<std::int64_t>::max(), 0, nullptr);
    return walk.entries();
}

bool Mp4SampleTables::withinBound(const ByteReader& read) {
    const auto entries = indexEntries(read);
    return entries && *entries <= kMostEntries;
}

bool Mp4SampleTables::fileWithinBound(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) return true;
    const bool within = withinBound(descriptorReader(descriptor));
    ::close(descriptor);
    return within;
}

}  // namespace reelhaven
