#include "core/video_progress.h"

#include <cmath>

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
    if (value.is_number_integer()) {
        auto number = value.get<long long>();
        if (number >= INT32_MIN && number <= INT32_MAX) return static_cast<int>(number);
    } else if (value.is_number_unsigned()) {
        // Fall through to the error: unsigned values here are above the signed range.
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
    const double ratio = newProgress / duration.seconds;
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

void from_json(const nlohmann::json& json, VideoProgress& record) {
    if (!json.is_object()) throw nlohmann::json::type_error::create(302, "a progress record is not an object", &json);
    VideoProgress decoded;
    decoded.progress = json.at("progress").get<VideoTime>();
    decoded.duration = json.at("duration").get<VideoTime>();
    decoded.isFinished = readBool(json, json.at("isFinished"), "isFinished");
    if (auto* v = optionalMember(json, "selectedAudio")) decoded.selectedAudio = readInt(json, *v, "selectedAudio");
    if (auto* v = optionalMember(json, "selectedSubtitle"))
        decoded.selectedSubtitle = readInt(json, *v, "selectedSubtitle");
    if (auto* v = optionalMember(json, "aspectRatio")) {
        if (!v->is_string()) typeError(json, "aspectRatio", "a string");
        decoded.contentMode = contentModeFromRawValue(v->get<std::string>());
        if (!decoded.contentMode)
            throw nlohmann::json::other_error::create(501, "unknown content mode " + v->dump(), &json);
    }
    if (auto* v = optionalMember(json, "videoAspectRatio"))
        decoded.aspectRatio = readDouble(json, *v, "videoAspectRatio");
    if (auto* v = optionalMember(json, "playbackSpeed")) decoded.playbackSpeed = readDouble(json, *v, "playbackSpeed");
    if (auto* v = optionalMember(json, "deinterlace")) decoded.deinterlace = readBool(json, *v, "deinterlace");
    if (auto* v = optionalMember(json, "loop")) decoded.loop = readBool(json, *v, "loop");
    if (auto* v = optionalMember(json, "volume")) decoded.volume = readInt(json, *v, "volume");
    record = decoded;
}

}  // namespace reelhaven
