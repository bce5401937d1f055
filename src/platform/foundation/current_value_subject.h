#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

#include "platform/foundation/cancellable.h"
#include "platform/foundation/subscriber_list.h"

namespace foundation {

// A value that subscribers watch. `sink` calls the subscriber with the current value at once,
// then with every value sent, on the sending thread, until its Cancellable is cancelled or
// destroyed. Copies share one subject (reference semantics). Thread safe: the value may be read
// on any thread while another sends; a subscriber cancelled during a send is not called by that
// send after its cancellation.
template <typename T>
class CurrentValueSubject {
public:
    explicit CurrentValueSubject(T value)
        : m_value(std::make_shared<T>(std::move(value))), m_subscribers(std::make_shared<SubscriberList<T>>()) {}

    T value() const {
        return m_subscribers->locked([&] { return *m_value; });
    }

    void send(T value) {
        m_subscribers->send(value, [&] { *m_value = value; });
    }

    [[nodiscard]] Cancellable sink(std::function<void(const T&)> receive) {
        auto subscriber = std::make_shared<std::function<void(const T&)>>(std::move(receive));
        std::optional<T> current;
        auto cancellable = m_subscribers->add(
            m_subscribers, [subscriber](const T& value) { (*subscriber)(value); }, [&] { current = *m_value; });
        (*subscriber)(*current);
        return cancellable;
    }

    std::size_t subscriberCount() const { return m_subscribers->count(); }

private:
    // Guarded by the subscriber list's lock, so a new subscriber and a send see one order.
    std::shared_ptr<T> m_value;
    std::shared_ptr<SubscriberList<T>> m_subscribers;
};

}  // namespace foundation
