#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/foundation/cancellable.h"

namespace foundation {

// The subscribers of a subject, shared by its copies. Thread safe: `send` calls each subscriber on
// the sending thread outside the lock, and skips one cancelled during that send.
template <typename T>
class SubscriberList {
public:
    using Subscriber = std::function<void(const T&)>;

    // Subscribes `receive`; `underLock` runs while the list is locked (a subject reads its current
    // value there, so no send slips between reading it and subscribing).
    template <typename UnderLock>
    [[nodiscard]] Cancellable add(const std::shared_ptr<SubscriberList>& self, Subscriber receive,
                                  UnderLock&& underLock) {
        std::uint64_t id;
        {
            std::lock_guard lock(m_mutex);
            id = m_nextId++;
            m_subscribers.emplace(id, std::make_shared<Subscriber>(std::move(receive)));
            underLock();
        }
        std::weak_ptr<SubscriberList> weakSelf = self;
        return Cancellable([weakSelf, id] {
            if (auto list = weakSelf.lock()) list->remove(id);
        });
    }

    // Calls every subscriber with `value`; `underLock` runs while the list is locked (a subject
    // stores its new value there).
    template <typename UnderLock>
    void send(const T& value, UnderLock&& underLock) {
        std::vector<std::pair<std::uint64_t, std::shared_ptr<Subscriber>>> subscribers;
        {
            std::lock_guard lock(m_mutex);
            underLock();
            subscribers.assign(m_subscribers.begin(), m_subscribers.end());
        }
        for (auto& [id, subscriber] : subscribers) {
            if (!isSubscribed(id)) continue;
            (*subscriber)(value);
        }
    }

    // Runs `read` while the list is locked.
    template <typename Read>
    auto locked(Read&& read) const {
        std::lock_guard lock(m_mutex);
        return read();
    }

    std::size_t count() const {
        std::lock_guard lock(m_mutex);
        return m_subscribers.size();
    }

private:
    bool isSubscribed(std::uint64_t id) const {
        std::lock_guard lock(m_mutex);
        return m_subscribers.count(id) != 0;
    }
    void remove(std::uint64_t id) {
        std::lock_guard lock(m_mutex);
        m_subscribers.erase(id);
    }

    mutable std::mutex m_mutex;
    std::uint64_t m_nextId = 1;
    std::map<std::uint64_t, std::shared_ptr<Subscriber>> m_subscribers;
};

}  // namespace foundation
