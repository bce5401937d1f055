#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "core/content_mode.h"
#include "core/video_time.h"

namespace reelhaven {

// The saved state of one video: where it stopped, how long it is, whether it was watched to the
// end, and the per-video choices made while watching.
struct VideoProgress {
    VideoTime progress;
    VideoTime duration;
    bool isFinished = false;
    std::optional<int> selectedAudio;
    std::optional<int> selectedSubtitle;
    std::optional<ContentMode> contentMode;  // coded as "aspectRatio"
    std::optional<double> aspectRatio;       // coded as "videoAspectRatio"
    std::optional<double> playbackSpeed;
    std::optional<bool> deinterlace;
    std::optional<bool> loop;
    std::optional<int> volume;

    // The per-video choices, replaced as a whole by every update.
    struct Choices {
        std::optional<int> selectedAudio;
        std::optional<int> selectedSubtitle;
        std::optional<ContentMode> contentMode;
        std::optional<double> aspectRatio;
        std::optional<double> playbackSpeed;
        std::optional<bool> deinterlace;
        std::optional<bool> loop;
        std::optional<int> volume;
    };

    // Absorbs a new position: short videos (under 10 s) never keep one, an explicit mark wins,
    // past 97 % counts as finished, and a finished video reopened and left under 2 % stays
    // finished. Without a known length (0) no ratio applies: the position is kept, unfinished.
    void update(double newProgress, std::optional<double> newDuration, std::optional<bool> finished,
                const Choices& choices);

    Choices choices() const;
    void setChoices(const Choices& choices);

    friend bool operator==(const VideoProgress&, const VideoProgress&) = default;
};

// Width over height of every real picture lies well inside these bounds; a stored ratio outside
// them (1e308 from a damaged file) would lay the picture out with no size at all.
inline constexpr double kSmallestAspectRatio = 0.05;
inline constexpr double kLargestAspectRatio = 20.0;
bool isUsableAspectRatio(double ratio);

// Optional fields are left out when empty, never written as null.
void to_json(nlohmann::json& json, const VideoProgress& record);
// Throws nlohmann::json::exception for a missing required key, a value of the wrong type, a time
// outside the range of real media (see isUsableMediaTime) or an unknown content mode; absent or
// null optional keys leave the field empty. A "videoAspectRatio" that is not a usable ratio counts
// as absent.
void from_json(const nlohmann::json& json, VideoProgress& record);
// A stored record as far as it can be used: nothing when its position is missing or unusable. A
// damaged "duration" leaves the length unknown (0), a damaged "isFinished" leaves it false, and an
// optional value of the wrong type or an unknown content mode leaves its field empty; each such key
// goes into `droppedKeys`, so one bad value does not cost the position and the other choices.
std::optional<VideoProgress> decodeStoredVideoProgress(const nlohmann::json& json,
                                                       std::vector<std::string>& droppedKeys);

}  // namespace reelhaven
