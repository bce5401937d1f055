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

// A value that subscribers watch. `sink` calls the subscriber with the current value at once,
// then with every value sent, on the sending thread, until its Cancellable is cancelled or
// destroyed. Copies share one subject (reference semantics). Thread safe: the value may be read
// on any thread while another sends; a subscriber cancelled during a send is not called by that
// send after its cancellation.
template <typename T>
class CurrentValueSubject {
public:
    explicit CurrentValueSubject(T value) : m_state(std::make_shared<State>(std::move(value))) {}

    T value() const {
        std::lock_guard lock(m_state->mutex);
        return m_state->value;
    }

    void send(T value) {
        std::vector<std::pair<std::uint64_t, std::shared_ptr<Subscriber>>> subscribers;
        {
            std::lock_guard lock(m_state->mutex);
            m_state->value = value;
            subscribers.assign(m_state->subscribers.begin(), m_state->subscribers.end());
        }
        for (auto& [id, subscriber] : subscribers) {
            if (!m_state->isSubscribed(id)) continue;
            (*subscriber)(value);
        }
    }

    [[nodiscard]] Cancellable sink(std::function<void(const T&)> receive) {
        auto subscriber = std::make_shared<Subscriber>(std::move(receive));
        auto [id, current] = [&] {
            std::lock_guard lock(m_state->mutex);
            std::uint64_t newId = m_state->nextId++;
            m_state->subscribers.emplace(newId, subscriber);
            return std::pair<std::uint64_t, T>(newId, m_state->value);
        }();
        (*subscriber)(current);
        std::weak_ptr<State> weakState = m_state;
        return Cancellable([weakState, subscriberId = id] {
            if (auto state = weakState.lock()) {
                std::lock_guard lock(state->mutex);
                state->subscribers.erase(subscriberId);
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
        explicit State(T initial) : value(std::move(initial)) {}
        bool isSubscribed(std::uint64_t id) {
            std::lock_guard lock(mutex);
            return subscribers.count(id) != 0;
        }

        std::mutex mutex;
        T value;
        std::uint64_t nextId = 1;
        std::map<std::uint64_t, std::shared_ptr<Subscriber>> subscribers;
    };

    std::shared_ptr<State> m_state;
};

}  // namespace foundation
