#pragma once

#include <functional>
#include <memory>

#include "platform/ui/animation/completion_group.h"

namespace ui {

// Groups layer changes: the duration given to animations added without one, whether implicit
// actions are off, and a completion that runs when every animation added inside has ended.
// Main thread only; transactions nest.
class Transaction {
public:
    static constexpr double defaultAnimationDuration = 0.25;

    static void begin();
    static void commit();
    static double animationDuration();
    static void setAnimationDuration(double seconds);
    static bool disableActions();
    static void setDisableActions(bool disable);
    static void setCompletionBlock(std::function<void()> completion);
    // The completion group of the innermost transaction with a completion block, if any.
    static std::shared_ptr<CompletionGroup> currentCompletionGroup();
    static int depth();
};

}  // namespace ui
