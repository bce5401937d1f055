#pragma once

#include <optional>
#include <string_view>

namespace reelhaven {

// What the control bar's right-hand time label shows; stored by its raw value.
enum class ProgressLabelStyle { progressDuration, progressTimeRemaining };

constexpr std::string_view rawValue(ProgressLabelStyle style) {
    return style == ProgressLabelStyle::progressDuration ? "progressDuration" : "progressTimeRemaining";
}

constexpr std::optional<ProgressLabelStyle> progressLabelStyleFromRawValue(std::string_view raw) {
    if (raw == "progressDuration") return ProgressLabelStyle::progressDuration;
    if (raw == "progressTimeRemaining") return ProgressLabelStyle::progressTimeRemaining;
    return std::nullopt;
}

}  // namespace reelhaven
