#include "platform/ui/animation/transaction.h"

#include <optional>
#include <vector>

#include "platform/base/fatal.h"

namespace ui {

namespace {

struct Frame {
    std::optional<double> duration;
    std::optional<bool> disableActions;
    std::shared_ptr<CompletionGroup> group;
};

std::vector<Frame>& stack() {
    static thread_local std::vector<Frame> frames;
    return frames;
}

}  // namespace

void Transaction::begin() { stack().emplace_back(); }

void Transaction::commit() {
    if (stack().empty()) base::fatal("commit without begin");
    auto group = stack().back().group;
    stack().pop_back();
    if (group) group->seal();
}

double Transaction::animationDuration() {
    for (auto it = stack().rbegin(); it != stack().rend(); ++it) {
        if (it->duration) return *it->duration;
    }
    return defaultAnimationDuration;
}

void Transaction::setAnimationDuration(double seconds) {
    if (!stack().empty()) stack().back().duration = seconds;
}

bool Transaction::disableActions() {
    for (auto it = stack().rbegin(); it != stack().rend(); ++it) {
        if (it->disableActions) return *it->disableActions;
    }
    return false;
}

void Transaction::setDisableActions(bool disable) {
    if (!stack().empty()) stack().back().disableActions = disable;
}

void Transaction::setCompletionBlock(std::function<void()> completion) {
    if (stack().empty()) return;
    stack().back().group = CompletionGroup::create([completion = std::move(completion)](bool) {
        if (completion) completion();
    });
}

std::shared_ptr<CompletionGroup> Transaction::currentCompletionGroup() {
    for (auto it = stack().rbegin(); it != stack().rend(); ++it) {
        if (it->group) return it->group;
    }
    return nullptr;
}

int Transaction::depth() { return static_cast<int>(stack().size()); }

}  // namespace ui
