// Counting the sample tables of any bytes reads only what is there, and says within the bound
// exactly when it counted no more than the bound.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/mp4_sample_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto length = static_cast<std::int64_t>(size);
    const reelhaven::ByteReader read = [&](std::int64_t offset, std::uint8_t* into, std::int64_t wanted) {
        if (offset < 0 || wanted < 0) std::abort();
        if (offset >= length) return std::int64_t{0};
        const std::int64_t count = std::min(wanted, length - offset);
        std::memcpy(into, data + offset, static_cast<std::size_t>(count));
        return count;
    };
    const auto entries = reelhaven::Mp4SampleTables::indexEntries(read);
    const bool within = entries && *entries <= reelhaven::Mp4SampleTables::kMostEntries;
    if (reelhaven::Mp4SampleTables::withinBound(read) != within) std::abort();
    return 0;
}
