#include "platform/ui/animation/completion_group.h"

namespace ui {

std::shared_ptr<CompletionGroup> CompletionGroup::create(Completion completion) {
    return std::shared_ptr<CompletionGroup>(new CompletionGroup(std::move(completion)));
}

void CompletionGroup::leave(bool finished) {
    if (m_pending > 0) --m_pending;
    m_allFinished = m_allFinished && finished;
    completeIfDone();
}

void CompletionGroup::seal() {
    m_sealed = true;
    completeIfDone();
}

void CompletionGroup::completeIfDone() {
    if (!m_sealed || m_pending > 0 || m_completed) return;
    m_completed = true;
    if (m_completion) {
        auto completion = std::move(m_completion);
        completion(m_allFinished);
    }
}

}  // namespace ui
