#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/animation/animation_value.h"
#include "platform/ui/animation/completion_group.h"

namespace ui {

class Layer;

// The view animation being declared: property changes of views made inside an `animate` block
// report here and become layer animations that join the block's completion group.
class ViewAnimationContext {
public:
    struct Parameters {
        double duration = 0;
        double delay = 0;
        std::uint32_t options = 0;
        std::optional<double> dampingRatio;
        double velocity = 0;
    };

    ViewAnimationContext(Parameters parameters, std::shared_ptr<CompletionGroup> group)
        : m_parameters(parameters), m_group(std::move(group)) {}

    // The innermost context, or null outside animation blocks and inside `performWithoutAnimation`.
    static ViewAnimationContext* current();
    static void push(ViewAnimationContext* context);
    static void pop();

    void record(Layer& layer, const std::string& keyPath, const AnimationValue& modelBefore,
                const AnimationValue& presentationBefore, const AnimationValue& after);
    int recordedCount() const { return m_recorded; }

private:
    Parameters m_parameters;
    std::shared_ptr<CompletionGroup> m_group;
    int m_recorded = 0;
};

}  // namespace ui
