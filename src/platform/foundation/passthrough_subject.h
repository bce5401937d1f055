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

// A stream of values without a current one: `sink` calls the subscriber with every value sent
// after it subscribed, on the sending thread, until its Cancellable is cancelled or destroyed.
// Copies share one subject. Thread safe, with the same guarantee as CurrentValueSubject: a
// subscriber cancelled during a send is not called by that send after its cancellation.
template <typename T>
class PassthroughSubject {
public:
    PassthroughSubject() : m_state(std::make_shared<State>()) {}

    void send(const T& value) {
        std::vector<std::pair<std::uint64_t, std::shared_ptr<Subscriber>>> subscribers;
        {
            std::lock_guard lock(m_state->mutex);
            subscribers.assign(m_state->subscribers.begin(), m_state->subscribers.end());
        }
        for (auto& [id, subscriber] : subscribers) {
            if (!m_state->isSubscribed(id)) continue;
            (*subscriber)(value);
        }
    }

    [[nodiscard]] Cancellable sink(std::function<void(const T&)> receive) {
        std::uint64_t id;
        {
            std::lock_guard lock(m_state->mutex);
            id = m_state->nextId++;
            m_state->subscribers.emplace(id, std::make_shared<Subscriber>(std::move(receive)));
        }
        std::weak_ptr<State> weakState = m_state;
        return Cancellable([weakState, id] {
            if (auto state = weakState.lock()) {
                std::lock_guard lock(state->mutex);
                state->subscribers.erase(id);
            }
        });
    }

    std::size_t subscriberCount() const {
        std::lock_guard lock(m_state->mutex);
        return m_state->subscribers.size();
    }

private:
    using Subscriber = std::function<void(const T&)>;

    struct State {
        bool isSubscribed(std::uint64_t id) {
            std::lock_guard lock(mutex);
            return subscribers.count(id) != 0;
        }

        std::mutex mutex;
        std::uint64_t nextId = 1;
        std::map<std::uint64_t, std::shared_ptr<Subscriber>> subscribers;
    };

    std::shared_ptr<State> m_state;
};

}  // namespace foundation
