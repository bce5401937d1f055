#pragma once

#include <charconv>
#include <limits>
#include <optional>
#include <string_view>
#include <type_traits>

namespace base {

// The number that `text` spells from its first character to its last, when it lies within
// `lowest`...`highest`; nothing otherwise. What comes from outside (a command, an option, a stored
// file, a request) is read through this: an empty text, a sign where none belongs ("+5", "-1" for
// an unsigned type), blanks or trailing junk ("5x"), a value too large for the type, NaN and the
// infinities are all refused here, never thrown and never wrapped.
template <typename Number>
std::optional<Number> parsedNumber(std::string_view text, Number lowest, Number highest) {
    static_assert(std::is_arithmetic_v<Number> && !std::is_same_v<Number, bool>);
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end) return std::nullopt;
    // Written so that NaN, which compares false with everything, fails too.
    if (!(value >= lowest && value <= highest)) return std::nullopt;
    return value;
}

// The same over every finite value of the type.
template <typename Number>
std::optional<Number> parsedNumber(std::string_view text) {
    return parsedNumber<Number>(text, std::numeric_limits<Number>::lowest(), std::numeric_limits<Number>::max());
}

}  // namespace base
