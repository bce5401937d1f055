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

void to_json(nlohmann::json& json, const VideoTime& time);
// Throws nlohmann::json::exception when "seconds" is missing or not a number.
void from_json(const nlohmann::json& json, VideoTime& time);

struct VideoTimeHash {
    std::size_t operator()(const VideoTime& time) const;
};

}  // namespace reelhaven
