#pragma once

#include <functional>
#include <memory>

namespace ui {

// Joins the ends of several animations into one completion: it runs once, after `seal`, when
// every joined animation has ended, with true only when all of them finished.
class CompletionGroup {
public:
    using Completion = std::function<void(bool finished)>;

    static std::shared_ptr<CompletionGroup> create(Completion completion);

    void join() { ++m_pending; }
    void leave(bool finished);
    // No more animations will join; completes now when none is pending.
    void seal();
    int pending() const { return m_pending; }
    bool hasCompleted() const { return m_completed; }

private:
    explicit CompletionGroup(Completion completion) : m_completion(std::move(completion)) {}
    void completeIfDone();

    Completion m_completion;
    int m_pending = 0;
    bool m_allFinished = true;
    bool m_sealed = false;
    bool m_completed = false;
};

}  // namespace ui
