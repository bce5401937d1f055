// The animation functions of View: declaring animations and transitions on the main run loop's clock.
#include <atomic>

#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/transition_animation.h"
#include "platform/ui/animation/view_animation_context.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

namespace {

std::atomic<bool> g_animationsEnabled{true};

// Completes `group` (joined once here) when delay + duration have passed on the clock.
void finishAfter(const std::shared_ptr<CompletionGroup>& group, double seconds) {
    group->join();
    auto loop = dispatch::RunLoop::main();
    loop->schedule(loop->now() + dispatch::seconds(std::max(0.0, seconds)), [group] { group->leave(true); });
}

void runAnimations(ViewAnimationContext::Parameters parameters, const std::function<void()>& animations,
                   std::function<void(bool)> completion) {
    auto group = CompletionGroup::create(std::move(completion));
    const bool animated = g_animationsEnabled && (parameters.duration > 0 || parameters.delay > 0);
    if (!animated) {
        View::performWithoutAnimation(animations);
    } else {
        ViewAnimationContext context(parameters, group);
        ViewAnimationContext::push(&context);
        if (animations) animations();
        ViewAnimationContext::pop();
        if (context.recordedCount() > 0) {
            group->seal();
            return;
        }
    }
    finishAfter(group, parameters.delay + parameters.duration);
    group->seal();
}

}  // namespace

void View::animate(double duration, const std::function<void()>& animations, std::function<void(bool)> completion) {
    checkMainThread();
    animate(duration, 0, animationOptionsNone, animations, std::move(completion));
}

void View::animate(double duration, double delay, std::uint32_t options, const std::function<void()>& animations,
                   std::function<void(bool)> completion) {
    checkMainThread();
    runAnimations({duration, delay, options, std::nullopt, 0}, animations, std::move(completion));
}

void View::animateSpring(double duration, double delay, double dampingRatio, double velocity, std::uint32_t options,
                         const std::function<void()>& animations, std::function<void(bool)> completion) {
    checkMainThread();
    runAnimations({duration, delay, options, dampingRatio, velocity}, animations, std::move(completion));
}

void View::transition(const std::shared_ptr<View>& view, double duration, std::uint32_t options,
                      const std::function<void()>& animations, std::function<void(bool)> completion) {
    checkMainThread();
    auto group = CompletionGroup::create(std::move(completion));
    performWithoutAnimation(animations);
    if (!view || !g_animationsEnabled || duration <= 0) {
        finishAfter(group, duration);
        group->seal();
        return;
    }
    std::string type = "fade";
    switch ((options >> 20) & 0xF) {
        case 1: type = "flipFromLeft"; break;
        case 2: type = "flipFromRight"; break;
        case 3: type = "curlUp"; break;
        case 4: type = "curlDown"; break;
        case 6: type = "flipFromTop"; break;
        case 7: type = "flipFromBottom"; break;
        default: break;
    }
    auto transition = TransitionAnimation::create(type);
    transition->duration = duration;
    transition->completionGroups.push_back(group);
    view->layer().addAnimation(transition, "transition");
    group->seal();
}

void View::performWithoutAnimation(const std::function<void()>& actions) {
    checkMainThread();
    ViewAnimationContext::push(nullptr);
    if (actions) actions();
    ViewAnimationContext::pop();
}

bool View::areAnimationsEnabled() {
    checkMainThread();
    return g_animationsEnabled;
}
void View::setAnimationsEnabled(bool enabled) {
    checkMainThread();
    g_animationsEnabled = enabled;
}

}  // namespace ui
