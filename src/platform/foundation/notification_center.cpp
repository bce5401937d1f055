#include "platform/foundation/notification_center.h"

#include <vector>

namespace foundation {

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter* center = new NotificationCenter;  // never destroyed: posts may come until exit
    return *center;
}

NotificationCenter::Token NotificationCenter::addObserver(std::string name, const void* object, Block block) {
    std::lock_guard lock(m_mutex);
    Token token{m_nextId++};
    m_observers.emplace(token.id, Observer{std::move(name), object, std::make_shared<Block>(std::move(block))});
    return token;
}

void NotificationCenter::removeObserver(Token token) {
    std::lock_guard lock(m_mutex);
    m_observers.erase(token.id);
}

void NotificationCenter::post(const std::string& name, std::shared_ptr<void> object, UserInfo userInfo) {
    post(Notification{name, std::move(object), std::move(userInfo)});
}

void NotificationCenter::post(const Notification& notification) {
    std::vector<std::pair<std::uint64_t, std::shared_ptr<Block>>> matching;
    {
        std::lock_guard lock(m_mutex);
        for (const auto& [id, observer] : m_observers) {
            if (!observer.name.empty() && observer.name != notification.name) continue;
            if (observer.object && observer.object != notification.object.get()) continue;
            matching.emplace_back(id, observer.block);
        }
    }
    // Blocks run without the lock so they may post, add and remove observers themselves.
    for (const auto& [id, block] : matching) {
        {
            std::lock_guard lock(m_mutex);
            if (!m_observers.count(id)) continue;
        }
        (*block)(notification);
    }
}

std::size_t NotificationCenter::observerCount() const {
    std::lock_guard lock(m_mutex);
    return m_observers.size();
}

}  // namespace foundation
