#include "core/video_progress.h"

#include <cmath>
#include <cstdint>

#include <nlohmann/json.hpp>

namespace reelhaven {

namespace {

constexpr double kShortestRememberedDuration = 10.0;
constexpr double kFinishedRatio = 0.97;
constexpr double kStillFinishedRatio = 0.02;

[[noreturn]] void typeError(const nlohmann::json& json, const char* key, const char* expected) {
    throw nlohmann::json::type_error::create(302, std::string("\"") + key + "\" is not " + expected, &json);
}

const nlohmann::json* optionalMember(const nlohmann::json& json, const char* key) {
    auto it = json.find(key);
    if (it == json.end() || it->is_null()) return nullptr;
    return &*it;
}

bool readBool(const nlohmann::json& json, const nlohmann::json& value, const char* key) {
    if (!value.is_boolean()) typeError(json, key, "a Boolean");
    return value.get<bool>();
}

int readInt(const nlohmann::json& json, const nlohmann::json& value, const char* key) {
    // Asked first: is_number_integer() holds for unsigned numbers too, and reading one above the
    // signed range as signed wraps it (18446744073709551615 became -1, "None").
    if (value.is_number_unsigned()) {
        auto number = value.get<unsigned long long>();
        if (number <= static_cast<unsigned long long>(INT32_MAX)) return static_cast<int>(number);
    } else if (value.is_number_integer()) {
        auto number = value.get<long long>();
        if (number >= INT32_MIN && number <= INT32_MAX) return static_cast<int>(number);
    } else if (value.is_number_float()) {
        // An integral number written with a fraction part (1.0) is still that integer.
        double number = value.get<double>();
        if (std::trunc(number) == number && number >= INT32_MIN && number <= INT32_MAX) return static_cast<int>(number);
    }
    typeError(json, key, "an integer");
}

double readDouble(const nlohmann::json& json, const nlohmann::json& value, const char* key) {
    if (!value.is_number()) typeError(json, key, "a number");
    return value.get<double>();
}

template <typename T, typename Usable>
void dropUnusable(std::optional<T>& field, const char* key, Usable usable, std::vector<std::string>* dropped) {
    if (!field || usable(*field)) return;
    field.reset();
    if (dropped) dropped->push_back(key);
}

// Empties each choice the player does not offer, naming its coded key in `dropped`.
void dropUnusableChoices(VideoProgress::Choices& choices, std::vector<std::string>* dropped) {
    dropUnusable(choices.selectedAudio, "selectedAudio", isUsableTrackID, dropped);
    dropUnusable(choices.selectedSubtitle, "selectedSubtitle", isUsableTrackID, dropped);
    dropUnusable(choices.aspectRatio, "videoAspectRatio", isUsableAspectRatio, dropped);
    dropUnusable(choices.playbackSpeed, "playbackSpeed", isUsablePlaybackSpeed, dropped);
    dropUnusable(choices.volume, "volume", isUsableVolume, dropped);
}

}  // namespace

void VideoProgress::update(double newProgress, std::optional<double> newDuration, std::optional<bool> finished,
                           const Choices& newChoices) {
    if (newDuration) duration = VideoTime{*newDuration};
    setChoices(newChoices);

    if (newDuration && *newDuration < kShortestRememberedDuration) {
        progress = VideoTime{0};
        isFinished = false;
        return;
    }
    if (finished) {
        progress = VideoTime{0};
        isFinished = *finished;
        return;
    }
    // An unknown length (a record whose length was damaged) gives no ratio, as 0 / 0 does.
    const double ratio = duration.seconds > 0 ? newProgress / duration.seconds : std::nan("");
    if (ratio > kFinishedRatio) {
        progress = VideoTime{0};
        isFinished = true;
        return;
    }
    if (isFinished && ratio < kStillFinishedRatio) {
        progress = VideoTime{newProgress};
        return;
    }
    progress = VideoTime{newProgress};
    isFinished = false;
}

VideoProgress::Choices VideoProgress::Choices::usable() const {
    Choices kept = *this;
    dropUnusableChoices(kept, nullptr);
    return kept;
}

VideoProgress::Choices VideoProgress::choices() const {
    return {selectedAudio, selectedSubtitle, contentMode, aspectRatio, playbackSpeed, deinterlace, loop, volume};
}

void VideoProgress::setChoices(const Choices& c) {
    selectedAudio = c.selectedAudio;
    selectedSubtitle = c.selectedSubtitle;
    contentMode = c.contentMode;
    aspectRatio = c.aspectRatio;
    playbackSpeed = c.playbackSpeed;
    deinterlace = c.deinterlace;
    loop = c.loop;
    volume = c.volume;
}

void to_json(nlohmann::json& json, const VideoProgress& record) {
    json = nlohmann::json::object();
    json["progress"] = record.progress;
    json["duration"] = record.duration;
    json["isFinished"] = record.isFinished;
    if (record.selectedAudio) json["selectedAudio"] = *record.selectedAudio;
    if (record.selectedSubtitle) json["selectedSubtitle"] = *record.selectedSubtitle;
    if (record.contentMode) json["aspectRatio"] = std::string(rawValue(*record.contentMode));
    if (record.aspectRatio) json["videoAspectRatio"] = *record.aspectRatio;
    if (record.playbackSpeed) json["playbackSpeed"] = *record.playbackSpeed;
    if (record.deinterlace) json["deinterlace"] = *record.deinterlace;
    if (record.loop) json["loop"] = *record.loop;
    if (record.volume) json["volume"] = *record.volume;
}

namespace {

enum class BadOptionalValue { fail, drop };

// Reads one optional member with `read`; under BadOptionalValue::drop a value `read` refuses is
// noted in `dropped` and leaves the field empty.
template <typename T, typename Read>
void readOptional(const nlohmann::json& json, const char* key, std::optional<T>& field, BadOptionalValue policy,
                  std::vector<std::string>* dropped, Read read) {
    const nlohmann::json* value = optionalMember(json, key);
    if (!value) return;
    if (policy == BadOptionalValue::fail) {
        field = read(*value);
        return;
    }
    try {
        field = read(*value);
    } catch (const nlohmann::json::exception&) {
        dropped->push_back(key);
    }
}

// Reads one member the stored record can do without: under BadOptionalValue::drop a missing or
// unusable value leaves the field as it is and its key in `dropped`.
template <typename T, typename Read>
void readRequired(const nlohmann::json& json, const char* key, T& field, BadOptionalValue policy,
                  std::vector<std::string>* dropped, Read read) {
    if (policy == BadOptionalValue::fail) {
        field = read(json.at(key));
        return;
    }
    try {
        field = read(json.at(key));
    } catch (const nlohmann::json::exception&) {
        dropped->push_back(key);
    }
}

VideoTime readMediaTime(const nlohmann::json& json, const nlohmann::json& value, const char* key) {
    auto time = value.get<VideoTime>();
    if (!isUsableMediaTime(time.seconds)) typeError(json, key, "a time within media");
    return time;
}

VideoTime readPosition(const nlohmann::json& json, const nlohmann::json& value) {
    const auto position = usablePosition(value.get<VideoTime>().seconds);
    if (!position) typeError(json, "progress", "a position within media");
    return VideoTime{*position};
}

VideoProgress decode(const nlohmann::json& json, BadOptionalValue policy, std::vector<std::string>* dropped) {
    if (!json.is_object()) throw nlohmann::json::type_error::create(302, "a progress record is not an object", &json);
    VideoProgress decoded;
    // A damaged position, length or watched mark costs only itself (the start, an unknown length
    // of 0, not watched): the record's other values are the user's choices.
    readRequired(json, "progress", decoded.progress, policy, dropped,
                 [&json](const nlohmann::json& v) { return readPosition(json, v); });
    readRequired(json, "duration", decoded.duration, policy, dropped,
                 [&json](const nlohmann::json& v) { return readMediaTime(json, v, "duration"); });
    readRequired(json, "isFinished", decoded.isFinished, policy, dropped,
                 [&json](const nlohmann::json& v) { return readBool(json, v, "isFinished"); });
    auto integer = [&](const char* key) {
        return [&json, key](const nlohmann::json& v) { return readInt(json, v, key); };
    };
    auto boolean = [&](const char* key) {
        return [&json, key](const nlohmann::json& v) { return readBool(json, v, key); };
    };
    auto number = [&](const char* key) {
        return [&json, key](const nlohmann::json& v) { return readDouble(json, v, key); };
    };
    readOptional(json, "selectedAudio", decoded.selectedAudio, policy, dropped, integer("selectedAudio"));
    readOptional(json, "selectedSubtitle", decoded.selectedSubtitle, policy, dropped, integer("selectedSubtitle"));
    readOptional(json, "aspectRatio", decoded.contentMode, policy, dropped, [&json](const nlohmann::json& v) {
        if (!v.is_string()) typeError(json, "aspectRatio", "a string");
        auto mode = contentModeFromRawValue(v.get<std::string>());
        if (!mode) throw nlohmann::json::other_error::create(501, "unknown content mode " + v.dump(), &json);
        return *mode;
    });
    readOptional(json, "videoAspectRatio", decoded.aspectRatio, policy, dropped, number("videoAspectRatio"));
    readOptional(json, "playbackSpeed", decoded.playbackSpeed, policy, dropped, number("playbackSpeed"));
    readOptional(json, "deinterlace", decoded.deinterlace, policy, dropped, boolean("deinterlace"));
    readOptional(json, "loop", decoded.loop, policy, dropped, boolean("loop"));
    readOptional(json, "volume", decoded.volume, policy, dropped, integer("volume"));
    // A choice the player does not offer is read as absent, so it is not written back.
    auto choices = decoded.choices();
    dropUnusableChoices(choices, dropped);
    decoded.setChoices(choices);
    return decoded;
}

}  // namespace

bool isUsableAspectRatio(double ratio) { return ratio >= kSmallestAspectRatio && ratio <= kLargestAspectRatio; }

std::optional<double> usablePosition(double seconds) {
    if (isUsableMediaTime(seconds)) return seconds;
    if (seconds < 0 && seconds >= -kPositionTolerance) return 0.0;
    return std::nullopt;
}

bool isUsablePlaybackSpeed(double speed) { return speed >= kSlowestPlaybackSpeed && speed <= kFastestPlaybackSpeed; }

bool isUsableVolume(int volume) { return volume >= kLowestVolume && volume <= kLoudestVolume; }

bool isUsableTrackID(int id) { return id >= kNoTrack; }

void from_json(const nlohmann::json& json, VideoProgress& record) {
    record = decode(json, BadOptionalValue::fail, nullptr);
}

std::optional<VideoProgress> decodeStoredVideoProgress(const nlohmann::json& json,
                                                       std::vector<std::string>& droppedKeys) {
    try {
        return decode(json, BadOptionalValue::drop, &droppedKeys);
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

}  // namespace reelhaven
