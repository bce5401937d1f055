#include "platform/foundation/byte_count_formatter.h"

#include <array>
#include <cmath>

namespace foundation {

namespace {

constexpr std::array<const char*, 7> units{"bytes", "KB", "MB", "GB", "TB", "PB", "EB"};

int fractionDigits(size_t unit) {
    if (unit <= 1) return 0;
    return unit == 2 ? 1 : 2;
}

// Groups the integer part in threes: 1234567 -> "1,234,567".
std::string grouped(std::string digits) {
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(static_cast<size_t>(at), ",");
    return digits;
}

// `value` scaled by 10^digits and rounded half to even, as text with the fraction's trailing
// zeros dropped.
std::string formatted(double value, int digits) {
    const double scale = std::pow(10.0, digits);
    const double scaled = std::nearbyint(value * scale);  // the default rounding mode: half to even
    const auto whole = static_cast<std::uint64_t>(scaled / scale);
    auto fraction = static_cast<std::uint64_t>(scaled - static_cast<double>(whole) * scale);
    std::string text = grouped(std::to_string(whole));
    if (digits == 0 || fraction == 0) return text;
    std::string fractionText = std::to_string(fraction);
    fractionText.insert(0, static_cast<size_t>(digits) - fractionText.size(), '0');
    while (!fractionText.empty() && fractionText.back() == '0') fractionText.pop_back();
    return text + "." + fractionText;
}

}  // namespace

std::string ByteCountFormatter::string(std::int64_t byteCount) const {
    if (byteCount == 0) return "Zero KB";
    const std::string sign = byteCount < 0 ? "-" : "";
    // The magnitude as unsigned, so the smallest int64 does not overflow.
    const std::uint64_t magnitude =
        byteCount < 0 ? ~static_cast<std::uint64_t>(byteCount) + 1 : static_cast<std::uint64_t>(byteCount);
    if (magnitude == 1) return sign + "1 byte";
    const double base = (m_style == CountStyle::memory || m_style == CountStyle::binary) ? 1024.0 : 1000.0;

    size_t unit = 0;
    double value = static_cast<double>(magnitude);
    while (unit + 1 < units.size() && value >= base) {
        value /= base;
        ++unit;
    }
    // 999,999 bytes round to "1,000 KB"; say "1 MB" instead.
    const double scale = std::pow(10.0, fractionDigits(unit));
    if (unit + 1 < units.size() && std::nearbyint(value * scale) / scale >= base) {
        value /= base;
        ++unit;
    }
    return sign + formatted(value, fractionDigits(unit)) + " " + units[unit];
}

}  // namespace foundation
