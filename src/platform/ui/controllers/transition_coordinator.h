#pragma once

#include <functional>
#include <vector>

namespace ui {

// What a controller can do while its window changes size: animate alongside the change, and act
// once it is over. The window runs the alongside blocks inside its size animation and the
// completions when that animation ends on the clock.
class TransitionCoordinator {
public:
    using Block = std::function<void()>;

    explicit TransitionCoordinator(double duration) : m_duration(duration) {}

    double transitionDuration() const { return m_duration; }
    void animateAlongside(Block animation, Block completion = {}) {
        if (animation) m_alongside.push_back(std::move(animation));
        if (completion) m_completions.push_back(std::move(completion));
    }

    const std::vector<Block>& alongside() const { return m_alongside; }
    const std::vector<Block>& completions() const { return m_completions; }

private:
    double m_duration;
    std::vector<Block> m_alongside;
    std::vector<Block> m_completions;
};

}  // namespace ui
