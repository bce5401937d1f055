#include "core/video_time.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>

#include <nlohmann/json.hpp>

namespace reelhaven {

namespace {

// Larger counts of seconds no label can show sensibly, and they would overflow the arithmetic.
constexpr double kLargestLabelSeconds = 1e15;

}  // namespace

std::optional<std::string> VideoTime::timeString(double seconds) {
    if (!std::isfinite(seconds)) return std::nullopt;
    const double magnitude = std::fabs(seconds);
    if (magnitude > kLargestLabelSeconds) return std::nullopt;

    // The range (hours or not) is chosen on the exact value; the text shows whole seconds.
    const auto whole = static_cast<std::int64_t>(std::trunc(magnitude));
    const char* sign = (seconds < 0 && whole != 0) ? "-" : "";
    char text[64];
    if (magnitude > 3600) {
        std::snprintf(text, sizeof text, "%s%lld:%02lld:%02lld", sign, static_cast<long long>(whole / 3600),
                      static_cast<long long>(whole / 60 % 60), static_cast<long long>(whole % 60));
    } else {
        std::snprintf(text, sizeof text, "%s%lld:%02lld", sign, static_cast<long long>(whole / 60),
                      static_cast<long long>(whole % 60));
    }
    return std::string(text);
}

bool isUsableMediaTime(double seconds) { return seconds >= 0 && seconds <= kLongestMediaTime; }

std::optional<double> usableDuration(double seconds) {
    if (!isUsableMediaTime(seconds) || seconds == 0) return std::nullopt;
    return seconds;
}

void to_json(nlohmann::json& json, const VideoTime& time) { json = nlohmann::json{{"seconds", time.seconds}}; }

void from_json(const nlohmann::json& json, VideoTime& time) {
    const auto& value = json.at("seconds");
    if (!value.is_number()) throw nlohmann::json::type_error::create(302, "\"seconds\" is not a number", &json);
    time.seconds = value.get<double>();
}

std::size_t VideoTimeHash::operator()(const VideoTime& time) const {
    // +0 and -0 are equal, so they must hash alike.
    return std::hash<double>{}(time.seconds == 0 ? 0.0 : time.seconds);
}

}  // namespace reelhaven
