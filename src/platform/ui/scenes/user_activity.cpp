#include "platform/ui/scenes/user_activity.h"

namespace ui {

std::shared_ptr<UserActivity> UserActivity::create(std::string activityType) {
    return std::shared_ptr<UserActivity>(new UserActivity(std::move(activityType)));
}

void UserActivity::addUserInfoEntries(const UserInfo& entries) {
    for (const auto& [key, value] : entries) m_userInfo[key] = value;
}

}  // namespace ui
