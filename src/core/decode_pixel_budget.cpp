#include "core/decode_pixel_budget.h"

#include <algorithm>
#include <utility>

namespace reelhaven {

DecodePixelBudget& DecodePixelBudget::shared() {
    static auto* budget = new DecodePixelBudget(kDefaultPixels);
    return *budget;
}

DecodePixelBudget::DecodePixelBudget(std::int64_t pixels) : m_limit(std::max<std::int64_t>(1, pixels)) {}

DecodePixelBudget::Lease DecodePixelBudget::acquire(std::int64_t pixels) {
    const std::int64_t wanted = std::clamp<std::int64_t>(pixels, 0, m_limit);
    std::unique_lock lock(m_mutex);
    // In turn of arrival: a huge picture waiting for the whole budget is not passed by small ones
    // for ever.
    const std::uint64_t turn = m_nextTurn++;
    m_freed.wait(lock, [&] { return turn == m_serving && m_held + wanted <= m_limit; });
    ++m_serving;
    m_held += wanted;
    m_peak = std::max(m_peak, m_held);
    lock.unlock();
    m_freed.notify_all();  // the next in turn may fit too
    return Lease(*this, wanted);
}

std::int64_t DecodePixelBudget::peak() const {
    std::lock_guard lock(m_mutex);
    return m_peak;
}

void DecodePixelBudget::release(std::int64_t pixels) {
    if (pixels == 0) return;
    {
        std::lock_guard lock(m_mutex);
        m_held -= pixels;
    }
    m_freed.notify_all();
}

DecodePixelBudget::Lease::Lease(Lease&& other) noexcept
    : m_budget(other.m_budget), m_pixels(std::exchange(other.m_pixels, 0)) {}

DecodePixelBudget::Lease::~Lease() { m_budget->release(m_pixels); }

}  // namespace reelhaven
