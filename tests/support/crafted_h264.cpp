#include "support/crafted_h264.h"

#include <vector>

namespace crafted_h264 {

namespace {

// Bits written most significant first, with the codes H.264 headers use.
class Bits {
public:
    void put(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) bit(value >> i & 1);
    }
    // Exponential-Golomb codes.
    void unsignedCode(std::uint32_t value) {
        const std::uint32_t coded = value + 1;
        int length = 0;
        while (coded >> (length + 1)) ++length;
        put(0, length);
        put(coded, length + 1);
    }
    void signedCode(std::int32_t value) {
        unsignedCode(value > 0 ? static_cast<std::uint32_t>(2 * value - 1) : static_cast<std::uint32_t>(-2 * value));
    }
    // The stop bit and zeros to the byte's end, then the unit's header byte in front and the bytes
    // a start code could be read in escaped.
    std::string unit(std::uint8_t header) {
        bit(1);
        while (m_used != 0) bit(0);
        std::string escaped(1, static_cast<char>(header));
        int zeros = 0;
        for (std::uint8_t byte : m_bytes) {
            if (zeros >= 2 && byte <= 3) {
                escaped += '\x03';
                zeros = 0;
            }
            escaped += static_cast<char>(byte);
            zeros = byte == 0 ? zeros + 1 : 0;
        }
        return escaped;
    }

private:
    void bit(std::uint32_t value) {
        if (m_used == 0) m_bytes.push_back(0);
        m_bytes.back() |= static_cast<std::uint8_t>(value << (7 - m_used));
        m_used = (m_used + 1) % 8;
    }

    std::vector<std::uint8_t> m_bytes;
    int m_used = 0;
};

constexpr std::uint8_t kProfile = 66;  // baseline
constexpr std::uint8_t kLevel = 51;

}  // namespace

std::string sequenceParameters(const Picture& picture) {
    Bits bits;
    bits.put(kProfile, 8);
    bits.put(0xC0, 8);  // constrained to what baseline and main decoders share
    bits.put(kLevel, 8);
    bits.unsignedCode(0);  // its number
    bits.unsignedCode(0);  // frame numbers of four bits
    bits.unsignedCode(2);  // picture order from the frame number
    bits.unsignedCode(1);  // one reference
    bits.put(0, 1);
    bits.unsignedCode(static_cast<std::uint32_t>(picture.width / 16 - 1));
    bits.unsignedCode(static_cast<std::uint32_t>(picture.height / 16 - 1));
    bits.put(1, 1);  // frames only
    bits.put(1, 1);
    bits.put(0, 1);  // no cropping
    bits.put(0, 1);  // no usability information
    return bits.unit(0x67);
}

std::string pictureParameters() {
    Bits bits;
    bits.unsignedCode(0);
    bits.unsignedCode(0);
    bits.put(0, 1);  // variable-length coding
    bits.put(0, 1);
    bits.unsignedCode(0);  // one slice group
    bits.unsignedCode(0);
    bits.unsignedCode(0);
    bits.put(0, 3);      // no weighted prediction
    bits.signedCode(0);  // quantiser 26
    bits.signedCode(0);
    bits.signedCode(0);
    bits.put(1, 1);  // the slice says whether to filter
    bits.put(0, 2);
    return bits.unit(0x68);
}

std::string refreshSlice(const Picture& picture, int id) {
    Bits bits;
    bits.unsignedCode(0);  // first macroblock
    bits.unsignedCode(7);  // intra, as every slice of the picture
    bits.unsignedCode(0);
    bits.put(0, 4);  // frame number
    bits.unsignedCode(static_cast<std::uint32_t>(id & 0xFFFF));
    bits.put(0, 2);  // no marking of its own
    bits.signedCode(0);
    bits.unsignedCode(1);  // no deblocking
    // Each macroblock predicted flat (16x16, mean of its neighbours: grey at the picture's corner),
    // with no residual: its type, the chroma's prediction, no change of quantiser, no DC levels.
    const int macroblocks = picture.width / 16 * (picture.height / 16);
    for (int i = 0; i < macroblocks; ++i) {
        bits.unsignedCode(3);
        bits.unsignedCode(0);
        bits.signedCode(0);
        bits.put(1, 1);
    }
    return bits.unit(0x65);
}

std::string annexB(std::initializer_list<std::string> units) {
    std::string stream;
    for (const std::string& unit : units) stream += std::string("\0\0\0\1", 4) + unit;
    return stream;
}

std::string lengthPrefixed(std::initializer_list<std::string> units) {
    std::string stream;
    for (const std::string& unit : units) {
        const auto size = static_cast<std::uint32_t>(unit.size());
        stream += {static_cast<char>(size >> 24), static_cast<char>(size >> 16 & 0xFF),
                   static_cast<char>(size >> 8 & 0xFF), static_cast<char>(size & 0xFF)};
        stream += unit;
    }
    return stream;
}

std::string configuration(const Picture& picture) {
    const std::string sequence = sequenceParameters(picture);
    const std::string parameters = pictureParameters();
    auto sized = [](const std::string& unit) {
        return std::string{static_cast<char>(unit.size() >> 8), static_cast<char>(unit.size() & 0xFF)} + unit;
    };
    // Version 1, the profile and level, lengths of four bytes, one of each parameter set.
    return std::string{1,
                       static_cast<char>(kProfile),
                       static_cast<char>(0xC0),
                       static_cast<char>(kLevel),
                       static_cast<char>(0xFF),
                       static_cast<char>(0xE1)} +
           sized(sequence) + '\1' + sized(parameters);
}

}  // namespace crafted_h264
