#pragma once

#include <cstdint>

namespace media {

// A rational time (value / timescale seconds) as media timing uses it, with the invalid and
// positive-infinity markers.
struct Time {
    enum class Kind { invalid, numeric, positiveInfinity };

    std::int64_t value = 0;
    std::int32_t timescale = 0;
    Kind kind = Kind::invalid;

    static constexpr Time invalid() { return {}; }
    static constexpr Time zero() { return {0, 1, Kind::numeric}; }
    static constexpr Time positiveInfinity() { return {0, 0, Kind::positiveInfinity}; }
    static constexpr Time make(std::int64_t value, std::int32_t timescale) { return {value, timescale, Kind::numeric}; }
    // Rounded to the nearest unit of `timescale`.
    static Time makeWithSeconds(double seconds, std::int32_t timescale);

    bool isValid() const { return kind != Kind::invalid; }
    bool isNumeric() const { return kind == Kind::numeric; }
    // Seconds; NaN when invalid, +inf for positive infinity.
    double seconds() const;

    bool operator==(const Time&) const = default;
};

struct TimeRange {
    Time start;
    Time duration;
    bool operator==(const TimeRange&) const = default;
};

}  // namespace media
