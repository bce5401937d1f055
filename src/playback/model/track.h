#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace reelhaven {

// The kinds of track mpv lists; the raw values are mpv's own type names.
enum class TrackType { video, audio, subtitle };

constexpr std::string_view rawValue(TrackType type) {
    switch (type) {
        case TrackType::video: return "video";
        case TrackType::audio: return "audio";
        case TrackType::subtitle: return "sub";
    }
    return "";
}

// Nothing for any other type name (such tracks are not listed).
constexpr std::optional<TrackType> trackTypeFromRawValue(std::string_view raw) {
    if (raw == "video") return TrackType::video;
    if (raw == "audio") return TrackType::audio;
    if (raw == "sub") return TrackType::subtitle;
    return std::nullopt;
}

// One entry of a track list as the player shows it.
struct Track {
    static constexpr std::int64_t kNoneId = -1;

    TrackType type = TrackType::audio;
    std::int64_t id = kNoneId;  // mpv's track id; kNoneId for the "None" entry
    std::string title;

    // The entry that stands for no track of this kind, first in the audio and subtitle lists.
    static Track none(TrackType type) { return {type, kNoneId, "None"}; }
    bool isNone() const { return id == kNoneId; }

    bool operator==(const Track&) const = default;
};

}  // namespace reelhaven
