#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace reelhaven {

// Bounds what the thumbnail workers decode at once, counted in pixels of the pictures they
// decode: a decoder's memory grows with its picture, so a few huge videos decoded side by side
// (or one per core on a machine with many) would take gigabytes where the grid keeps a few
// megabytes of thumbnails. A worker holds a lease for its picture while it decodes; one that
// does not fit waits for others to finish, in turn. A picture larger than the whole budget is decoded
// alone. The count is of any unit: the index entries of the files the jobs hold open are budgeted
// by one too. Safe from any thread.
class DecodePixelBudget {
public:
    // About eight 1080p pictures, or two 4K ones, at once.
    static constexpr std::int64_t kDefaultPixels = 16 << 20;

    // The budget every thumbnail of the process shares. Never destroyed: workers may still hold
    // leases while the process exits.
    static DecodePixelBudget& shared();

    explicit DecodePixelBudget(std::int64_t pixels);
    DecodePixelBudget(const DecodePixelBudget&) = delete;
    DecodePixelBudget& operator=(const DecodePixelBudget&) = delete;

    // Pixels held until it is destroyed.
    class Lease {
    public:
        Lease(Lease&& other) noexcept;
        Lease& operator=(Lease&&) = delete;
        ~Lease();
        std::int64_t pixels() const { return m_pixels; }

    private:
        friend class DecodePixelBudget;
        Lease(DecodePixelBudget& budget, std::int64_t pixels) : m_budget(&budget), m_pixels(pixels) {}
        DecodePixelBudget* m_budget;
        std::int64_t m_pixels;
    };

    // Waits until `pixels` (at most the whole budget) fit beside what the other leases hold.
    Lease acquire(std::int64_t pixels);

    std::int64_t limit() const { return m_limit; }
    // The most pixels held at once so far.
    std::int64_t peak() const;

private:
    void release(std::int64_t pixels);

    const std::int64_t m_limit;
    mutable std::mutex m_mutex;
    std::condition_variable m_freed;
    std::int64_t m_held = 0;
    std::int64_t m_peak = 0;
    std::uint64_t m_nextTurn = 0;
    std::uint64_t m_serving = 0;
};

}  // namespace reelhaven
