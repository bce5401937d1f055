#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/graphics/image.h"

// The frames a benchmark's GL view drew: when, and a hash of their pixels, so the first frame with
// a new picture can be told from redraws of the old one. The render queue adds, the main thread
// reads.
class FrameLog {
public:
    using Clock = std::chrono::steady_clock;

    // Render queue: a frame was drawn with these pixels.
    void add(const gfx::Image& image) {
        const auto& pixels = image.pixels();
        const std::size_t print = std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(pixels.data()), pixels.size()));
        std::lock_guard lock(m_mutex);
        m_drawn.push_back({Clock::now(), print});
    }

    std::size_t count() const {
        std::lock_guard lock(m_mutex);
        return m_drawn.size();
    }

    // Where a measurement starts: the index of the next frame and the print of the last one.
    struct Mark {
        std::size_t next = 0;
        std::size_t print = 0;
    };
    Mark mark() const {
        std::lock_guard lock(m_mutex);
        return {m_drawn.size(), m_drawn.empty() ? 0 : m_drawn.back().print};
    }

    // When the first frame after `mark` whose picture differs from the marked one was drawn.
    std::optional<Clock::time_point> firstNewPicture(const Mark& mark) const {
        std::lock_guard lock(m_mutex);
        for (std::size_t i = mark.next; i < m_drawn.size(); ++i)
            if (m_drawn[i].print != mark.print) return m_drawn[i].at;
        return std::nullopt;
    }

    // Serves `waitFor` until no frame was drawn for 300 ms: the seek before is over.
    template <typename WaitFor>
    bool settle(WaitFor&& waitFor) const {
        std::size_t seen = count();
        auto quietSince = Clock::now();
        return waitFor([&] {
            if (count() != seen) {
                seen = count();
                quietSince = Clock::now();
            }
            return Clock::now() - quietSince > std::chrono::milliseconds(300);
        });
    }

private:
    struct Frame {
        Clock::time_point at;
        std::size_t print;
    };
    mutable std::mutex m_mutex;  // guards m_drawn
    std::vector<Frame> m_drawn;
};
