#pragma once

#include <functional>
#include <utility>
#include <vector>

namespace foundation {

// A subscription that ends when cancelled or destroyed. Move-only.
class Cancellable {
public:
    Cancellable() = default;
    explicit Cancellable(std::function<void()> cancel) : m_cancel(std::move(cancel)) {}
    ~Cancellable() { cancel(); }

    Cancellable(Cancellable&& other) noexcept : m_cancel(std::exchange(other.m_cancel, nullptr)) {}
    Cancellable& operator=(Cancellable&& other) noexcept {
        if (this != &other) {
            cancel();
            m_cancel = std::exchange(other.m_cancel, nullptr);
        }
        return *this;
    }
    Cancellable(const Cancellable&) = delete;
    Cancellable& operator=(const Cancellable&) = delete;

    // Ends the subscription; later calls do nothing.
    void cancel() {
        if (auto cancel = std::exchange(m_cancel, nullptr)) cancel();
    }
    bool isActive() const { return static_cast<bool>(m_cancel); }

    // Keeps the subscription in a bag that cancels everything it holds when destroyed.
    void store(std::vector<Cancellable>& bag) && { bag.push_back(std::move(*this)); }

private:
    std::function<void()> m_cancel;
};

}  // namespace foundation
