#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>

#include "platform/foundation/cancellable.h"
#include "platform/foundation/subscriber_list.h"

namespace foundation {

// A stream of values without a current one: `sink` calls the subscriber with every value sent
// after it subscribed, on the sending thread, until its Cancellable is cancelled or destroyed.
// Copies share one subject. Thread safe, with the same guarantee as CurrentValueSubject: a
// subscriber cancelled during a send is not called by that send after its cancellation.
template <typename T>
class PassthroughSubject {
public:
    PassthroughSubject() : m_subscribers(std::make_shared<SubscriberList<T>>()) {}

    void send(const T& value) {
        m_subscribers->send(value, [] {});
    }

    [[nodiscard]] Cancellable sink(std::function<void(const T&)> receive) {
        return m_subscribers->add(m_subscribers, std::move(receive), [] {});
    }

    std::size_t subscriberCount() const { return m_subscribers->count(); }

private:
    std::shared_ptr<SubscriberList<T>> m_subscribers;
};

}  // namespace foundation
