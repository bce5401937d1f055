#pragma once

#include <optional>

namespace reelhaven {

// The list the video menu shows; remembered per video in PlaybackInfo.
enum class VideoMenuListType { playlist = 0, chapters = 1 };

constexpr std::optional<VideoMenuListType> videoMenuListTypeFromRawValue(int raw) {
    if (raw == 0) return VideoMenuListType::playlist;
    if (raw == 1) return VideoMenuListType::chapters;
    return std::nullopt;
}

}  // namespace reelhaven
