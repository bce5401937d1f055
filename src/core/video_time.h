#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include <nlohmann/json_fwd.hpp>

namespace reelhaven {

// A number of seconds; coded as {"seconds": value}.
struct VideoTime {
    double seconds = 0;

    friend bool operator==(const VideoTime& a, const VideoTime& b) { return a.seconds == b.seconds; }

    // The one text form of playback times: "m:ss" up to an hour (minutes not limited to 59),
    // "h:mm:ss" above, "-" in front of negative times. Works on whole seconds, truncated towards
    // zero, so "-0:00" never appears. Nothing for a time that is not finite or too large to count.
    static std::optional<std::string> timeString(double seconds);
};

// Times taken from files and from media are used only inside this range: some three years, far
// beyond any real video, while a count of nanoseconds of it still fits 64 bits with room for
// sums. A damaged header (1e10 s) or a damaged state file (1e308, -5) lies outside it.
inline constexpr double kLongestMediaTime = 1e8;
// Whether `seconds` can be a position in or the length of real media: from 0 to kLongestMediaTime.
bool isUsableMediaTime(double seconds);
// The length of real media, or nothing: `seconds` when usable and above 0.
std::optional<double> usableDuration(double seconds);

void to_json(nlohmann::json& json, const VideoTime& time);
// Throws nlohmann::json::exception when "seconds" is missing or not a number.
void from_json(const nlohmann::json& json, VideoTime& time);

struct VideoTimeHash {
    std::size_t operator()(const VideoTime& time) const;
};

}  // namespace reelhaven
