#include "core/matroska_attachments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace reelhaven {
namespace {

using Bytes = std::vector<std::uint8_t>;

// An element: its ID's bytes, its size in `sizeLength` bytes (0: unknown), its data.
Bytes element(Bytes id, const Bytes& data, int sizeLength = 1) {
    Bytes out = std::move(id);
    if (sizeLength == 0) {
        out.push_back(0x01);
        out.insert(out.end(), 7, 0xFF);
    } else {
        for (int i = sizeLength - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(data.size() >> (8 * i)));
        out[out.size() - sizeLength] |= static_cast<std::uint8_t>(0x80 >> (sizeLength - 1));
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const Bytes kAttachmentsId{0x19, 0x41, 0xA4, 0x69};
const Bytes kClusterId{0x1F, 0x43, 0xB6, 0x75};
const Bytes kSeekHeadId{0x11, 0x4D, 0x9B, 0x74};
const Bytes kHeader = element({0x1A, 0x45, 0xDF, 0xA3}, element({0x42, 0x82}, {'w', 'e', 'b', 'm'}));

Bytes seekHead(std::uint8_t position) {
    return element(kSeekHeadId,
                   element({0x4D, 0xBB}, element({0x53, 0xAB}, kAttachmentsId) + element({0x53, 0xAC}, {position})));
}

MatroskaAttachments::Reader readerOf(const Bytes& file) {
    return [&file](std::int64_t offset, std::uint8_t* into, std::int64_t size) -> std::int64_t {
        if (offset >= static_cast<std::int64_t>(file.size())) return 0;
        const std::int64_t count = std::min<std::int64_t>(size, static_cast<std::int64_t>(file.size()) - offset);
        std::memcpy(into, file.data() + offset, static_cast<std::size_t>(count));
        return count;
    };
}

TEST(MatroskaAttachmentsTest, EveryAttachmentTheReaderReachesReadsAsAVoidElementOfTheSameLength) {
    const Bytes attachment = element(kAttachmentsId, Bytes(300, 0xAA), 2);
    const Bytes cluster = element(kClusterId, Bytes(20, 0x11));
    const Bytes late = element(kAttachmentsId, Bytes(40, 0xBB), 8);
    struct Case {
        const char* name;
        Bytes segmentData;
        std::vector<std::int64_t> attachmentsAt;  // in the segment's data
    };
    const Bytes head = seekHead(0);  // its size is that of every seek head here
    const auto afterCluster = static_cast<std::uint8_t>(head.size() + cluster.size());
    const std::vector<Case> cases = {
        {"before the first cluster", attachment + cluster, {0}},
        {"after it, named by a seek head",
         seekHead(afterCluster) + cluster + late,
         {static_cast<std::int64_t>(afterCluster)}},
        {"after it, named by nothing: never read", cluster + late, {}},
        {"none", cluster, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const Bytes prefix = kHeader + element({0x18, 0x53, 0x80, 0x67}, {}, 0);  // a segment of unknown size
        const Bytes file = prefix + test.segmentData;
        const auto patches = MatroskaAttachments::voidingPatches(readerOf(file));
        ASSERT_EQ(patches.size(), test.attachmentsAt.size());
        for (std::size_t i = 0; i < patches.size(); ++i) {
            const std::int64_t at = static_cast<std::int64_t>(prefix.size()) + test.attachmentsAt[i];
            EXPECT_EQ(patches[i].offset, at);
            // The patched header is a void element's that ends where the attachments ended.
            Bytes patched = file;
            std::copy(patches[i].bytes.begin(), patches[i].bytes.end(), patched.begin() + at);
            const int sizeLength = static_cast<int>(patches[i].bytes.size()) - 1;
            std::uint64_t size = patched[at + 1] & (0xFF >> sizeLength);
            for (int k = 2; k <= sizeLength; ++k) size = size << 8 | patched[at + k];
            EXPECT_EQ(patched[at], 0xEC);
            EXPECT_EQ(patched[at + 1] & (0x80 >> (sizeLength - 1)), 0x80 >> (sizeLength - 1));
            const std::size_t end = test.attachmentsAt[i] == 0 ? attachment.size() : late.size();
            EXPECT_EQ(1 + sizeLength + size, end);
        }
    }
    EXPECT_TRUE(MatroskaAttachments::voidingPatches(readerOf(Bytes(64, 0x00))).empty()) << "no Matroska file";
}

}  // namespace
}  // namespace reelhaven
