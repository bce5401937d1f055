// Numbers read from outside: only a whole number within its range is taken; everything else is
// refused without an exception.

#include "platform/base/parsed_number.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

TEST(ParsedNumber, TakesOnlyAWholeNumberWithinItsRange) {
    struct Case {
        std::string text;
        std::optional<std::size_t> handle;   // as a handle from 1 to 40
        std::optional<std::int64_t> offset;  // any 64-bit value
    };
    const Case cases[] = {
        {"7", 7, 7},
        {"0000000000000000000000040", 40, 40},
        {"0", std::nullopt, 0},
        {"41", std::nullopt, 41},
        {"-1", std::nullopt, -1},
        {"99999999999999999999", std::nullopt, std::nullopt},
        {"18446744073709551616", std::nullopt, std::nullopt},  // 2^64: no wrap to 0
        {"9223372036854775807", std::nullopt, INT64_MAX},
        {"9223372036854775808", std::nullopt, std::nullopt},
        {"-9223372036854775809", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
        {"+5", std::nullopt, std::nullopt},
        {" 5", std::nullopt, std::nullopt},
        {"5 ", std::nullopt, std::nullopt},
        {"5x", std::nullopt, std::nullopt},
        {"0x10", std::nullopt, std::nullopt},
        {"1e3", std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(base::parsedNumber<std::size_t>(c.text, 1, 40), c.handle) << c.text;
        EXPECT_EQ(base::parsedNumber<std::int64_t>(c.text), c.offset) << c.text;
    }
}

TEST(ParsedNumber, RefusesNotANumberTheInfinitiesAndWhatOverflowsAFloatingType) {
    for (const char* text : {"nan", "-nan", "inf", "-inf", "infinity", "1e400", "-1e400", "1.5s", ".", "-"})
        EXPECT_EQ(base::parsedNumber<double>(text), std::nullopt) << text;
    EXPECT_EQ(base::parsedNumber<float>("1e39"), std::nullopt);
    EXPECT_EQ(base::parsedNumber<double>("1e9", 0, 1e9), 1e9);
    EXPECT_EQ(base::parsedNumber<double>("1000000000.5", 0, 1e9), std::nullopt);
    EXPECT_EQ(base::parsedNumber<double>("-0.5", 0, 10), std::nullopt);
    EXPECT_EQ(base::parsedNumber<double>("2.5e-1"), 0.25);
}

}  // namespace
