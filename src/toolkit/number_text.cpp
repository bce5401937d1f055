#include "toolkit/number_text.h"

#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>

namespace reelhaven {
namespace {

constexpr double kExponentFormFrom = 9007199254740992.0;  // 2^53
constexpr double kExponentFormBelow = 1e-4;

// The shortest round-trip digits in plain decimal form ("1.25", "300"); at most 330 characters.
std::string fixedDigits(double value) {
    char buffer[400];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

std::string exponentDigits(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    std::string text(buffer, result.ptr);
    // Two-digit exponents, as the platform writes them: "1e-05", "1.5e+20".
    auto e = text.find('e');
    if (e == std::string::npos || text.size() - e != 3) return text;
    return text.substr(0, e + 2) + '0' + text.substr(e + 2);
}

// Adds one unit in the last place of a plain decimal magnitude ("0.19" -> "0.20", "9.9" -> "10.0").
void incrementLastDigit(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '.') continue;
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

}  // namespace

std::string doubleText(double value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    const double magnitude = std::fabs(value);
    if (magnitude != 0 && (magnitude < kExponentFormBelow || magnitude >= kExponentFormFrom)) {
        return exponentDigits(value);
    }
    std::string text = fixedDigits(value);
    if (text.find('.') == std::string::npos) text += ".0";
    return text;
}

double roundedHalfEven(double value, int places) {
    if (!std::isfinite(value) || places < 0) return value;
    std::string digits = fixedDigits(std::fabs(value));
    const auto point = digits.find('.');
    if (point == std::string::npos || digits.size() - point - 1 <= static_cast<size_t>(places)) return value;

    const std::string_view dropped = std::string_view(digits).substr(point + 1 + places);
    std::string kept = digits.substr(0, places == 0 ? point : point + 1 + places);
    bool up = false;
    if (dropped[0] > '5') {
        up = true;
    } else if (dropped[0] == '5') {
        const bool moreAfterHalf = dropped.find_first_not_of('0', 1) != std::string_view::npos;
        const char last = kept.back();
        up = moreAfterHalf || ((last - '0') % 2 == 1);
    }
    if (up) incrementLastDigit(kept);

    double rounded = 0;
    std::from_chars(kept.data(), kept.data() + kept.size(), rounded);
    return std::signbit(value) ? -rounded : rounded;
}

}  // namespace reelhaven
