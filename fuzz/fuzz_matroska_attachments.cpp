// Looking for attachments in any bytes reads only what is there and patches only whole headers:
// every patch lies inside the file, starts a void element, and no two overlap.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/matroska_attachments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto length = static_cast<std::int64_t>(size);
    auto patches = reelhaven::MatroskaAttachments::voidingPatches(
        [&](std::int64_t offset, std::uint8_t* into, std::int64_t wanted) -> std::int64_t {
            if (offset < 0 || wanted < 0) std::abort();
            if (offset >= length) return 0;
            const std::int64_t count = std::min(wanted, length - offset);
            std::memcpy(into, data + offset, static_cast<std::size_t>(count));
            return count;
        });
    std::sort(patches.begin(), patches.end(), [](const auto& a, const auto& b) { return a.offset < b.offset; });
    std::int64_t end = 0;
    for (const auto& patch : patches) {
        const auto bytes = static_cast<std::int64_t>(patch.bytes.size());
        if (patch.offset < end || bytes < 2 || bytes > 12 || patch.offset + bytes > length) std::abort();
        if (patch.bytes[0] != 0xEC) std::abort();
        end = patch.offset + bytes;
    }
    return 0;
}
