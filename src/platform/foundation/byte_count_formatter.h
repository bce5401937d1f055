#pragma once

#include <cstdint>
#include <string>

namespace foundation {

// Sizes as people read them: "Zero KB", "1 byte", "999 bytes", "1 KB", "1.5 MB", "2.47 GB".
// The unit is the largest that keeps the number at least 1; bytes and kilobytes show no
// fraction, megabytes one digit, larger units two, rounded half to even, trailing zeros
// dropped; a number that rounds up to a whole next unit is shown in that unit. Thousands are
// grouped with ",". Stateless apart from its style; thread safe.
class ByteCountFormatter {
public:
    // File and decimal count 1000 bytes to the kilobyte; memory and binary 1024.
    enum class CountStyle { file, memory, decimal, binary };

    explicit ByteCountFormatter(CountStyle style = CountStyle::file) : m_style(style) {}

    CountStyle countStyle() const { return m_style; }
    std::string string(std::int64_t byteCount) const;
    static std::string string(std::int64_t byteCount, CountStyle style) {
        return ByteCountFormatter(style).string(byteCount);
    }

private:
    CountStyle m_style;
};

}  // namespace foundation
