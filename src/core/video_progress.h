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

        // These choices without the values the player does not offer (see the ranges below).
        Choices usable() const;

        friend bool operator==(const Choices&, const Choices&) = default;
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

// mpv reports positions a hair before the start (-2.8e-07) as a file begins, and a little more
// where a first frame lies before the file's nominal start; no real position lies further back.
inline constexpr double kPositionTolerance = 1.0;
// The position to keep for `seconds`: itself within media, 0 when it lies no more than
// kPositionTolerance before the start; nothing when it is not a number or far outside media.
std::optional<double> usablePosition(double seconds);

// The choices the player offers: the speed stepper's range, volumes (mpv percent) from silence to
// the loudest the options offer, and track ids (-1 is "None"). A stored value outside them (a speed
// of 1e308, a volume of -100, a track id of INT_MIN) is damage.
inline constexpr double kSlowestPlaybackSpeed = 0.1;
inline constexpr double kFastestPlaybackSpeed = 4.0;
inline constexpr int kLowestVolume = 0;
inline constexpr int kLoudestVolume = 150;
inline constexpr int kNoTrack = -1;
bool isUsablePlaybackSpeed(double speed);
bool isUsableVolume(int volume);
bool isUsableTrackID(int id);

// Optional fields are left out when empty, never written as null.
void to_json(nlohmann::json& json, const VideoProgress& record);
// Throws nlohmann::json::exception for a missing required key, a value of the wrong type, a time
// outside the range of real media (see isUsableMediaTime; a position within kPositionTolerance
// before the start reads as 0) or an unknown content mode; absent or null optional keys leave the
// field empty. A choice outside the ranges above counts as absent.
void from_json(const nlohmann::json& json, VideoProgress& record);
// A stored record as far as it can be used: nothing when it is not an object. A damaged
// "progress" leaves the position at 0, a damaged "duration" leaves the length unknown (0), a
// damaged "isFinished" leaves it false, and an optional value of the wrong type, out of range or
// an unknown content mode leaves its field empty; each such key goes into `droppedKeys`, so one
// bad value costs only itself.
std::optional<VideoProgress> decodeStoredVideoProgress(const nlohmann::json& json,
                                                       std::vector<std::string>& droppedKeys);

}  // namespace reelhaven
