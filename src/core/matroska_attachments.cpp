#include "core/matroska_attachments.h"

#include <limits>
#include <optional>
#include <set>

namespace reelhaven {

namespace {

constexpr std::uint32_t kEbmlHeader = 0x1A45DFA3;
constexpr std::uint32_t kSegment = 0x18538067;
constexpr std::uint32_t kSeekHead = 0x114D9B74;
constexpr std::uint32_t kSeek = 0x4DBB;
constexpr std::uint32_t kSeekPosition = 0x53AC;
constexpr std::uint32_t kAttachments = 0x1941A469;
constexpr std::uint32_t kCluster = 0x1F43B675;
constexpr std::uint8_t kVoid = 0xEC;

// Bounds on the walk, so that a damaged or hostile file costs little to look at: elements before
// the first cluster, seek heads read, and the largest one read.
constexpr int kMostElements = 4096;
constexpr int kMostSeekHeads = 16;
constexpr std::int64_t kLargestSeekHead = 1 << 20;
// Elements ahead of the segment (void ones, say) that are stepped over.
constexpr int kMostElementsBeforeSegment = 16;

struct Element {
    std::uint32_t id = 0;
    std::int64_t start = 0;  // where its ID begins
    int headerLength = 0;    // of the ID and the size
    std::int64_t size = -1;  // -1: unknown
    std::int64_t dataStart() const { return start + headerLength; }
    std::int64_t end() const { return dataStart() + size; }
};

// The length of a variable-length number from its first byte (1 to 8); 0 for none.
int lengthOf(std::uint8_t first) {
    for (int length = 1; length <= 8; ++length)
        if (first & (0x80 >> (length - 1))) return length;
    return 0;
}

// The element header at the start of `bytes` (of which `available` can be read).
std::optional<Element> parseHeader(const std::uint8_t* bytes, std::int64_t available, std::int64_t start) {
    if (available < 2) return std::nullopt;
    const int idLength = lengthOf(bytes[0]);
    if (idLength == 0 || idLength > 4 || idLength >= available) return std::nullopt;
    Element element;
    element.start = start;
    for (int i = 0; i < idLength; ++i) element.id = element.id << 8 | bytes[i];
    const int sizeLength = lengthOf(bytes[idLength]);
    if (sizeLength == 0 || idLength + sizeLength > available) return std::nullopt;
    std::uint64_t size = bytes[idLength] & (0xFF >> sizeLength);
    bool allOnes = size == (0xFFu >> sizeLength);
    for (int i = 1; i < sizeLength; ++i) {
        size = size << 8 | bytes[idLength + i];
        allOnes = allOnes && bytes[idLength + i] == 0xFF;
    }
    element.headerLength = idLength + sizeLength;
    if (allOnes) return element;  // size unknown
    if (size > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max() / 2)) return std::nullopt;
    element.size = static_cast<std::int64_t>(size);
    return element;
}

std::optional<Element> readElement(const MatroskaAttachments::Reader& read, std::int64_t offset) {
    std::uint8_t bytes[12];
    if (offset < 0) return std::nullopt;
    return parseHeader(bytes, read(offset, bytes, sizeof bytes), offset);
}

std::uint64_t unsignedOf(const std::uint8_t* bytes, std::int64_t length) {
    std::uint64_t value = 0;
    for (std::int64_t i = 0; i < length; ++i) value = value << 8 | bytes[i];
    return value;
}

// The header of a void element as long as `element`'s header, over the same data.
std::optional<MatroskaAttachments::Patch> voidHeader(const Element& element) {
    const int sizeLength = std::min(8, element.headerLength - 1);
    // A header longer than the void element's one takes its spare bytes into the void's data.
    const std::uint64_t size = static_cast<std::uint64_t>(element.size) + (element.headerLength - 1 - sizeLength);
    if (sizeLength < 1 || size >= (std::uint64_t{1} << (7 * sizeLength)) - 1) return std::nullopt;
    MatroskaAttachments::Patch patch{element.start, {kVoid}};
    for (int i = sizeLength - 1; i >= 0; --i) patch.bytes.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    patch.bytes[1] |= static_cast<std::uint8_t>(0x80 >> (sizeLength - 1));
    return patch;
}

// The walk through one file's segment.
class SegmentWalk {
public:
    SegmentWalk(const MatroskaAttachments::Reader& read, const Element& segment)
        : m_read(read),
          m_start(segment.dataStart()),
          m_end(segment.size < 0 ? std::numeric_limits<std::int64_t>::max() : segment.end()) {}

    std::vector<MatroskaAttachments::Patch> patches() {
        std::int64_t at = m_start;
        for (int i = 0; i < kMostElements && at < m_end; ++i) {
            const auto element = readElement(m_read, at);
            if (!element || element->id == kCluster || element->size < 0) break;
            visit(*element);
            at = element->end();
        }
        for (int read = 0; read < kMostSeekHeads && !m_seekHeads.empty(); ++read) {
            const Element head = m_seekHeads.back();
            m_seekHeads.pop_back();
            followSeekHead(head);
        }
        return std::move(m_patches);
    }

private:
    void visit(const Element& element) {
        if (!m_visited.insert(element.start).second) return;
        if (element.id == kSeekHead) m_seekHeads.push_back(element);
        if (element.id != kAttachments || element.size < 0) return;
        if (auto patch = voidHeader(element)) m_patches.push_back(std::move(*patch));
    }

    // The reader goes to every element a seek head names, whatever ID the entry claims: the
    // element found there is the one it reads.
    void followSeekHead(const Element& head) {
        if (head.size <= 0 || head.size > kLargestSeekHead) return;
        std::vector<std::uint8_t> data(static_cast<std::size_t>(head.size));
        if (m_read(head.dataStart(), data.data(), head.size) != head.size) return;
        for (std::int64_t at = 0; at < head.size;) {
            const auto seek = parseHeader(data.data() + at, head.size - at, at);
            if (!seek || seek->size < 0 || seek->end() > head.size) return;
            if (seek->id == kSeek) {
                if (const auto position = seekPosition(data.data(), *seek))
                    if (const auto target = readElement(m_read, m_start + *position)) visit(*target);
            }
            at = seek->end();
        }
    }

    static std::optional<std::int64_t> seekPosition(const std::uint8_t* data, const Element& seek) {
        for (std::int64_t at = seek.dataStart(); at < seek.end();) {
            const auto child = parseHeader(data + at, seek.end() - at, at);
            if (!child || child->size < 0 || child->end() > seek.end()) return std::nullopt;
            if (child->id == kSeekPosition && child->size >= 1 && child->size <= 7)
                return static_cast<std::int64_t>(unsignedOf(data + child->dataStart(), child->size));
            at = child->end();
        }
        return std::nullopt;
    }

    const MatroskaAttachments::Reader& m_read;
    const std::int64_t m_start;
    const std::int64_t m_end;
    std::set<std::int64_t> m_visited;
    std::vector<Element> m_seekHeads;
    std::vector<MatroskaAttachments::Patch> m_patches;
};

}  // namespace

std::vector<MatroskaAttachments::Patch> MatroskaAttachments::voidingPatches(const Reader& read) {
    const auto header = readElement(read, 0);
    if (!header || header->id != kEbmlHeader || header->size < 0) return {};
    std::int64_t at = header->end();
    for (int i = 0; i < kMostElementsBeforeSegment; ++i) {
        const auto element = readElement(read, at);
        if (!element) return {};
        if (element->id == kSegment) return SegmentWalk(read, *element).patches();
        if (element->size < 0) return {};
        at = element->end();
    }
    return {};
}

}  // namespace reelhaven
