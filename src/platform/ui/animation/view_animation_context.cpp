#include "platform/ui/animation/view_animation_context.h"

#include <vector>

#include "platform/ui/animation/media_time.h"
#include "platform/ui/animation/spring_animation.h"
#include "platform/ui/views/layer.h"
#include "platform/ui/views/view_types.h"

namespace ui {

namespace {

std::vector<ViewAnimationContext*>& stack() {
    static thread_local std::vector<ViewAnimationContext*> contexts;
    return contexts;
}

MediaTimingFunction curveFunction(std::uint32_t options) {
    switch ((options >> 16) & 0xF) {
        case 1: return MediaTimingFunction::named(MediaTimingFunction::Name::easeIn);
        case 2: return MediaTimingFunction::named(MediaTimingFunction::Name::easeOut);
        case 3: return MediaTimingFunction::named(MediaTimingFunction::Name::linear);
        default: return MediaTimingFunction::named(MediaTimingFunction::Name::easeInEaseOut);
    }
}

}  // namespace

ViewAnimationContext* ViewAnimationContext::current() { return stack().empty() ? nullptr : stack().back(); }
void ViewAnimationContext::push(ViewAnimationContext* context) { stack().push_back(context); }
void ViewAnimationContext::pop() {
    if (!stack().empty()) stack().pop_back();
}

void ViewAnimationContext::record(Layer& layer, const std::string& keyPath, const AnimationValue& modelBefore,
                                  const AnimationValue& presentationBefore, const AnimationValue& after) {
    std::shared_ptr<BasicAnimation> animation;
    if (m_parameters.dampingRatio) {
        auto spring = SpringAnimation::create(keyPath);
        spring->dampingRatio = *m_parameters.dampingRatio;
        spring->initialVelocity = m_parameters.velocity;
        animation = spring;
    } else {
        animation = BasicAnimation::create(keyPath);
    }
    const bool fromCurrent = (m_parameters.options & beginFromCurrentState) != 0;
    animation->fromValue = fromCurrent ? presentationBefore : modelBefore;
    animation->toValue = after;
    animation->duration = m_parameters.duration;
    animation->timingFunction = curveFunction(m_parameters.options);
    if (m_parameters.options & repeat) animation->repeatCount = 1e30f;
    animation->autoreverses = (m_parameters.options & autoreverse) != 0;
    if (m_parameters.delay > 0) {
        animation->beginTime = layer.convertTime(currentMediaTime(), nullptr) + m_parameters.delay;
        animation->fillMode = FillMode::backwards;
    }
    if (m_group) animation->completionGroups.push_back(m_group);
    // A property already animating keeps its animation, which ends on its own (as the platform's
    // additive view animations do); the new one runs beside it under a key of its own.
    std::string key = keyPath;
    for (int n = 2; layer.animation(key); ++n) key = keyPath + "-" + std::to_string(n);
    layer.addAnimation(animation, key);
    ++m_recorded;
}

}  // namespace ui
