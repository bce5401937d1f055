#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace foundation {

using UserInfo = std::map<std::string, std::any>;

struct Notification {
    std::string name;
    std::shared_ptr<void> object;  // the sender, or null
    UserInfo userInfo;
};

// Broadcasts named notifications to observers. Observers run synchronously on the posting
// thread, in the order they were added. Thread safe: observers may be added or removed from any
// thread, also from inside an observer; an observer removed while a post is under way is not
// called by that post after its removal.
class NotificationCenter {
public:
    using Block = std::function<void(const Notification&)>;

    struct Token {
        std::uint64_t id = 0;
        bool isValid() const { return id != 0; }
        bool operator==(const Token&) const = default;
    };

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    static NotificationCenter& defaultCenter();

    // Observes `name` ("" = every name) from `object` (null = any sender; compared by address).
    Token addObserver(std::string name, const void* object, Block block);
    // Removing an unknown or already removed token does nothing.
    void removeObserver(Token token);

    void post(const std::string& name, std::shared_ptr<void> object = nullptr, UserInfo userInfo = {});
    void post(const Notification& notification);

    std::size_t observerCount() const;

private:
    struct Observer {
        std::string name;
        const void* object;
        std::shared_ptr<Block> block;
    };

    mutable std::mutex m_mutex;
    std::uint64_t m_nextId = 1;
    std::map<std::uint64_t, Observer> m_observers;  // ordered by id = order of adding
};

}  // namespace foundation
