#include "support/crafted_streams.h"

#include <zlib.h>

#include <stdexcept>
#include <vector>

#include "support/crafted_h264.h"

namespace crafted_streams {

namespace {

using testing_support::SparseFile;

std::string bigEndian(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = bytes - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

std::string littleEndian(std::uint64_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
    return out;
}

// MPEG's CRC-32 of a table section: polynomial 0x04C11DB7, most significant bit first.
std::uint32_t sectionCrc(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char byte : bytes) {
        crc ^= static_cast<std::uint32_t>(byte) << 24;
        for (int bit = 0; bit < 8; ++bit) crc = crc & 0x80000000 ? crc << 1 ^ 0x04C11DB7 : crc << 1;
    }
    return crc;
}

// A table section of `table` numbered `number`, `body` after its header, with its CRC.
std::string section(int table, int number, const std::string& body) {
    std::string bytes = std::string{static_cast<char>(table)} + bigEndian(0xB000 | (body.size() + 9), 2) +
                        bigEndian(static_cast<std::uint64_t>(number), 2) + "\xC1\x00\x00" + body;
    return bytes + bigEndian(sectionCrc(bytes), 4);
}

// Transport packets of 188 bytes carrying `payload` on `pid`, stuffed out at the end.
class Packets {
public:
    void add(int pid, const std::string& payload, bool table) {
        int& counter = m_counters[pid];
        const std::string data = table ? std::string(1, '\0') + payload : payload;  // a table's pointer field
        for (std::size_t at = 0; at < data.size();) {
            const std::size_t room = 184;
            const std::size_t count = std::min(room, data.size() - at);
            std::string packet{'\x47', static_cast<char>((at == 0 ? 0x40 : 0) | (pid >> 8 & 0x1F)),
                               static_cast<char>(pid & 0xFF)};
            if (count == room) {
                packet += static_cast<char>(0x10 | (counter & 0x0F));
            } else {
                packet += static_cast<char>(0x30 | (counter & 0x0F));
                const std::size_t stuffing = room - count - 1;
                packet += static_cast<char>(stuffing);
                if (stuffing > 0) packet += '\0' + std::string(stuffing - 1, '\xFF');
            }
            counter = (counter + 1) & 0x0F;
            packet += data.substr(at, count);
            m_bytes += packet;
            at += count;
        }
    }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    std::vector<int> m_counters = std::vector<int>(0x2000, 0);
};

// A packetised elementary stream packet of video at `pts` (90 kHz).
std::string videoPacket(const std::string& frame, std::uint64_t pts) {
    auto stamp = [](std::uint64_t time) {
        return std::string{static_cast<char>(0x21 | (time >> 29 & 0x0E)), static_cast<char>(time >> 22 & 0xFF),
                           static_cast<char>(0x01 | (time >> 14 & 0xFE)), static_cast<char>(time >> 7 & 0xFF),
                           static_cast<char>(0x01 | (time << 1 & 0xFE))};
    };
    return std::string("\0\0\1\xE0\0\0\x80\x80\x05", 9) + stamp(pts) + frame;
}

// EBML's variable-length numbers: an element's ID as it is written, its size in eight bytes.
std::string elementHeader(std::uint32_t id, std::uint64_t size) {
    std::string header;
    for (int shift = 24; shift >= 0; shift -= 8)
        if (id >> shift || !header.empty()) header += static_cast<char>(id >> shift & 0xFF);
    return header + '\x01' + bigEndian(size, 7);
}

SparseFile element(std::uint32_t id, const SparseFile& body) {
    return SparseFile(elementHeader(id, body.size())) + body;
}
std::string element(std::uint32_t id, const std::string& body) { return elementHeader(id, body.size()) + body; }
std::string unsignedElement(std::uint32_t id, std::uint64_t value) { return element(id, bigEndian(value, 8)); }

}  // namespace

std::string transportStream(int streams, int frames, const crafted_h264::Picture& picture) {
    constexpr int kPerProgram = 30;
    constexpr int kFirstStream = 0x100;
    constexpr int kFirstProgramTable = 0x1000;
    const int programs = (streams + kPerProgram - 1) / kPerProgram;
    Packets packets;
    std::string programList;
    for (int program = 0; program < programs; ++program)
        programList += bigEndian(static_cast<std::uint64_t>(program + 1), 2) +
                       bigEndian(0xE000 | static_cast<std::uint64_t>(kFirstProgramTable + program), 2);
    packets.add(0, section(0, 1, programList), true);
    for (int program = 0; program < programs; ++program) {
        const int first = kFirstStream + program * kPerProgram;
        std::string body = bigEndian(0xE000 | static_cast<std::uint64_t>(first), 2) + bigEndian(0xF000, 2);
        for (int pid = first; pid < std::min(first + kPerProgram, kFirstStream + streams); ++pid)
            body += '\x1B' + bigEndian(0xE000 | static_cast<std::uint64_t>(pid), 2) + bigEndian(0xF000, 2);
        packets.add(kFirstProgramTable + program, section(2, program + 1, body), true);
    }
    for (int frame = 0; frame < frames; ++frame) {
        const std::string slice = crafted_h264::refreshSlice(picture, frame % 2);
        const std::string unit = frame == 0 ? crafted_h264::annexB({crafted_h264::sequenceParameters(picture),
                                                                    crafted_h264::pictureParameters(), slice})
                                            : crafted_h264::annexB({slice});
        for (int stream = 0; stream < streams; ++stream)
            packets.add(kFirstStream + stream, videoPacket(unit, 90000 + 3600 * static_cast<std::uint64_t>(frame)),
                        false);
    }
    return packets.bytes();
}

std::string deflatedZeros(std::uint64_t count) {
    z_stream stream{};
    if (deflateInit(&stream, 9) != Z_OK) throw std::runtime_error("zlib would not deflate");
    std::vector<unsigned char> zeros(1 << 20, 0);
    std::vector<unsigned char> out(1 << 16);
    std::string deflated;
    std::uint64_t left = count;
    int status = Z_OK;
    do {
        if (stream.avail_in == 0 && left > 0) {
            const auto piece = static_cast<uInt>(std::min<std::uint64_t>(left, zeros.size()));
            stream.next_in = zeros.data();
            stream.avail_in = piece;
            left -= piece;
        }
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        status = deflate(&stream, left == 0 ? Z_FINISH : Z_NO_FLUSH);
        deflated.append(reinterpret_cast<const char*>(out.data()), out.size() - stream.avail_out);
    } while (status != Z_STREAM_END);
    deflateEnd(&stream);
    return deflated;
}

std::string tiff(std::uint32_t width, std::uint32_t height, const std::string& strip) {
    constexpr std::uint32_t kEntries = 10;
    constexpr std::uint32_t kDirectory = 8;
    constexpr std::uint32_t kBitsPerSample = kDirectory + 2 + kEntries * 12 + 4;
    constexpr std::uint32_t kStrip = kBitsPerSample + 6;
    constexpr int kShort = 3;
    constexpr int kLong = 4;
    auto entry = [](int tag, int type, std::uint32_t count, std::uint32_t value) {
        return littleEndian(static_cast<std::uint64_t>(tag), 2) + littleEndian(static_cast<std::uint64_t>(type), 2) +
               littleEndian(count, 4) + littleEndian(value, 4);
    };
    return std::string("II*\0", 4) + littleEndian(kDirectory, 4) + littleEndian(kEntries, 2) +
           entry(256, kLong, 1, width) + entry(257, kLong, 1, height) + entry(258, kShort, 3, kBitsPerSample) +
           entry(259, kShort, 1, 8) /* deflate */ + entry(262, kShort, 1, 2) /* RGB */ + entry(273, kLong, 1, kStrip) +
           entry(277, kShort, 1, 3) + entry(278, kLong, 1, height) +
           entry(279, kLong, 1, static_cast<std::uint32_t>(strip.size())) + entry(284, kShort, 1, 1) +
           littleEndian(0, 4) + littleEndian(8, 2) + littleEndian(8, 2) + littleEndian(8, 2) + strip;
}

SparseFile matroskaWithAttachment(const Matroska& shape) {
    const std::string header =
        element(0x1A45DFA3, unsignedElement(0x4286, 1) + unsignedElement(0x42F7, 1) + unsignedElement(0x42F2, 4) +
                                unsignedElement(0x42F3, 8) + element(0x4282, std::string("matroska")) +
                                unsignedElement(0x4287, 4) + unsignedElement(0x4285, 2));
    const std::string aVoid = element(0xEC, std::string());
    std::string voidsBefore;
    for (int i = 0; i < shape.voidsBeforeSegment; ++i) voidsBefore += aVoid;
    // A second of one picture: a millisecond a tick.
    const std::string info =
        element(0x1549A966, unsignedElement(0x2AD7B1, 1'000'000) + element(0x4489, bigEndian(0x408F400000000000, 8)) +
                                element(0x4D80, std::string("crafted")) + element(0x5741, std::string("crafted")));
    const crafted_h264::Picture picture;
    const std::string track =
        element(0xAE, unsignedElement(0xD7, 1) + unsignedElement(0x73C5, 1) + unsignedElement(0x83, 1) +
                          element(0x86, std::string("V_MPEG4/ISO/AVC")) +
                          element(0x63A2, crafted_h264::configuration(picture)) +
                          element(0xE0, unsignedElement(0xB0, 16) + unsignedElement(0xBA, 16)));
    std::string voidsIn;
    for (int i = 0; i < shape.voidsBeforeAttachments; ++i) voidsIn += aVoid;
    const SparseFile file = element(
        0x61A7, SparseFile(element(0x466E, std::string("blob.bin")) +
                           element(0x4660, std::string("application/octet-stream")) + unsignedElement(0x46AE, 1)) +
                    element(0x465C, SparseFile::zeros(shape.attachment)));
    // As a recorder that cannot go back to write sizes leaves them: the segment's too.
    const std::string unknownSize = "\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF";
    const SparseFile attachments =
        shape.attachmentsSizeUnknown ? SparseFile("\x19\x41\xA4\x69" + unknownSize) + file : element(0x1941A469, file);
    const std::string block =
        std::string("\x81\0\0\x80", 4) +
        crafted_h264::lengthPrefixed({crafted_h264::sequenceParameters(picture), crafted_h264::pictureParameters(),
                                      crafted_h264::refreshSlice(picture, 0)});
    const std::string cluster = element(0x1F43B675, unsignedElement(0xE7, 0) + element(0xA3, block));
    const SparseFile contents = SparseFile(info + element(0x1654AE6B, track) + voidsIn) + attachments + cluster;
    const SparseFile segment = shape.attachmentsSizeUnknown ? SparseFile("\x18\x53\x80\x67" + unknownSize) + contents
                                                            : element(0x18538067, contents);
    return SparseFile(header + voidsBefore) + segment;
}

}  // namespace crafted_streams
