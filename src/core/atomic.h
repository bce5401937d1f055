#pragma once

#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "platform/dispatch/queue.h"

namespace reelhaven {

// A value behind its own concurrent queue, used as a reader-writer lock: reads are plain
// synchronous blocks that may overlap, changes are synchronous barrier blocks that run alone.
// Every operation blocks its caller until its block has run, so none may be called from inside a
// block of the same value (the queue stops the program instead of deadlocking).
template <typename T>
class Atomic {
public:
    explicit Atomic(T value = T{})
        : m_queue(dispatch::Queue::create("reelhaven.atomicQueue", dispatch::QueueKind::concurrent,
                                          dispatch::QoS::userInitiated)),
          m_value(std::move(value)) {}

    Atomic(const Atomic&) = delete;
    Atomic& operator=(const Atomic&) = delete;

    // A copy of the value.
    T value() const {
        std::optional<T> copy;
        m_queue->sync([&] { copy.emplace(m_value); });
        return std::move(*copy);
    }

    // Runs `reader` on the value without copying it; reads of the same value may run alongside.
    template <typename F>
    auto read(F&& reader) const -> std::invoke_result_t<F, const T&> {
        using R = std::invoke_result_t<F, const T&>;
        if constexpr (std::is_void_v<R>) {
            m_queue->sync([&] { reader(static_cast<const T&>(m_value)); });
        } else {
            std::optional<R> result;
            m_queue->sync([&] { result.emplace(reader(static_cast<const T&>(m_value))); });
            return std::move(*result);
        }
    }

    void setValue(T value) {
        m_queue->syncBarrier([&] { m_value = std::move(value); });
    }

    // Runs `transform` on the stored value in place, alone.
    template <typename F>
    auto mutate(F&& transform) -> std::invoke_result_t<F, T&> {
        using R = std::invoke_result_t<F, T&>;
        if constexpr (std::is_void_v<R>) {
            m_queue->syncBarrier([&] { transform(m_value); });
        } else {
            std::optional<R> result;
            m_queue->syncBarrier([&] { result.emplace(transform(m_value)); });
            return std::move(*result);
        }
    }

    const dispatch::Queue& queue() const { return *m_queue; }

private:
    std::shared_ptr<dispatch::Queue> m_queue;
    T m_value;
};

}  // namespace reelhaven
