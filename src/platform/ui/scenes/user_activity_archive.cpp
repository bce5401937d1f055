#include "platform/ui/scenes/user_activity_archive.h"

#include <cstdint>

#include "platform/foundation/base64.h"
#include "platform/ui/scenes/user_activity.h"

namespace ui {

namespace {

bool isUTF8(const std::string& text) {
    try {
        (void)foundation::Json(text).dump();
        return true;
    } catch (const foundation::Json::exception&) {
        return false;
    }
}

// {"kind": value}; data (text that is not UTF-8) as Base64.
std::optional<foundation::Json> archiveValue(const std::any& value) {
    if (const auto* flag = std::any_cast<bool>(&value)) return foundation::Json{{"bool", *flag}};
    if (const auto* number = std::any_cast<int>(&value)) return foundation::Json{{"int", *number}};
    if (const auto* number = std::any_cast<std::int64_t>(&value)) return foundation::Json{{"int64", *number}};
    if (const auto* number = std::any_cast<double>(&value)) return foundation::Json{{"double", *number}};
    if (const auto* text = std::any_cast<std::string>(&value)) {
        if (isUTF8(*text)) return foundation::Json{{"string", *text}};
        return foundation::Json{{"data", foundation::Base64::encode(*text)}};
    }
    return std::nullopt;
}

std::optional<std::any> unarchiveValue(const foundation::Json& archived) {
    using foundation::JsonCoding;
    if (auto flag = JsonCoding::decodeIfPresent<bool>(archived, "bool")) return std::any(*flag);
    if (auto number = JsonCoding::decodeIfPresent<int>(archived, "int")) return std::any(*number);
    if (auto number = JsonCoding::decodeIfPresent<std::int64_t>(archived, "int64")) return std::any(*number);
    if (auto number = JsonCoding::decodeIfPresent<double>(archived, "double")) return std::any(*number);
    if (auto text = JsonCoding::decodeIfPresent<std::string>(archived, "string")) return std::any(*text);
    if (auto data = JsonCoding::decodeIfPresent<std::string>(archived, "data")) {
        if (auto bytes = foundation::Base64::decode(*data)) return std::any(*bytes);
    }
    return std::nullopt;
}

}  // namespace

foundation::Json archiveUserActivity(const UserActivity& activity) {
    foundation::Json info = foundation::Json::object();
    for (const auto& [key, value] : activity.userInfo()) {
        if (auto archived = archiveValue(value)) info[key] = std::move(*archived);
    }
    return {{"activityType", activity.activityType()}, {"title", activity.title()}, {"userInfo", std::move(info)}};
}

std::shared_ptr<UserActivity> unarchiveUserActivity(const foundation::Json& archive) {
    using foundation::JsonCoding;
    auto type = JsonCoding::decodeIfPresent<std::string>(archive, "activityType");
    if (!type || type->empty()) return nullptr;
    auto activity = UserActivity::create(*type);
    activity->setTitle(JsonCoding::decodeIfPresent<std::string>(archive, "title").value_or(""));
    UserActivity::UserInfo info;
    if (auto found = archive.find("userInfo"); found != archive.end() && found->is_object()) {
        for (const auto& [key, archived] : found->items()) {
            if (auto value = unarchiveValue(archived)) info[key] = std::move(*value);
        }
    }
    activity->setUserInfo(std::move(info));
    return activity;
}

}  // namespace ui
