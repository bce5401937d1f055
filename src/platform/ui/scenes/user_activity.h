#pragma once

#include <any>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/ui/views/object.h"

namespace ui {

// A restorable activity of the app: a type and a dictionary of user information.
class UserActivity : public Object {
public:
    using UserInfo = std::map<std::string, std::any>;

    static std::shared_ptr<UserActivity> create(std::string activityType);
    std::string className() const override { return "UserActivity"; }

    const std::string& activityType() const { return m_activityType; }
    const std::string& title() const { return m_title; }
    void setTitle(std::string title) { m_title = std::move(title); }
    const UserInfo& userInfo() const { return m_userInfo; }
    void setUserInfo(UserInfo info) { m_userInfo = std::move(info); }
    void addUserInfoEntries(const UserInfo& entries);
    const std::set<std::string>& requiredUserInfoKeys() const { return m_requiredKeys; }
    void setRequiredUserInfoKeys(std::set<std::string> keys) { m_requiredKeys = std::move(keys); }
    bool isEligibleForHandoff() const { return m_handoff; }
    void setEligibleForHandoff(bool eligible) { m_handoff = eligible; }
    bool needsSave() const { return m_needsSave; }
    void setNeedsSave(bool needs) { m_needsSave = needs; }
    void becomeCurrent() { ++m_becameCurrent; }
    int becameCurrentCount() const { return m_becameCurrent; }

private:
    explicit UserActivity(std::string type) : m_activityType(std::move(type)) {}

    std::string m_activityType;
    std::string m_title;
    UserInfo m_userInfo;
    std::set<std::string> m_requiredKeys;
    bool m_handoff = true;
    bool m_needsSave = false;
    int m_becameCurrent = 0;
};

}  // namespace ui
