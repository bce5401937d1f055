#pragma once

#include <compare>

namespace foundation {

// A point in time: seconds since 1970-01-01 00:00:00 UTC.
struct Date {
    double timeIntervalSince1970 = 0;

    static Date now();  // the system's real-time clock
    static Date fromTimeIntervalSince1970(double seconds) { return Date{seconds}; }

    double timeIntervalSince(Date other) const { return timeIntervalSince1970 - other.timeIntervalSince1970; }

    auto operator<=>(const Date&) const = default;
};

}  // namespace foundation
