#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace dispatch {

// A counting semaphore.
class Semaphore {
public:
    explicit Semaphore(long value) : m_value(value) {}

    void signal();
    // Blocks until the value is positive, then takes one. Returns false when `timeout` (real
    // time) passes first.
    bool wait(std::optional<std::chrono::milliseconds> timeout = std::nullopt);

private:
    std::mutex m_mutex;
    std::condition_variable m_available;
    long m_value;
};

}  // namespace dispatch
