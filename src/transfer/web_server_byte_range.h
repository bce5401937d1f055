#pragma once

#include <cstdint>
#include <limits>

namespace reelhaven {

// A byte range of a "Range" header. No range: location = max, length 0. The last n bytes:
// location = max, length n. Up to the end: length = max.
struct WebServerByteRange {
    static constexpr std::uint64_t kNotFound = std::numeric_limits<std::uint64_t>::max();

    std::uint64_t location = kNotFound;
    std::uint64_t length = 0;

    bool isSet() const { return location != kNotFound || length != 0; }
    bool operator==(const WebServerByteRange&) const = default;
};

}  // namespace reelhaven
