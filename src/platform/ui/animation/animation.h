#pragma once

#include <any>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/animation/animation_delegate.h"
#include "platform/ui/animation/animation_value.h"
#include "platform/ui/animation/completion_group.h"
#include "platform/ui/animation/media_timing_function.h"
#include "platform/ui/views/object.h"

namespace ui {

enum class FillMode { removed, forwards, backwards, both };

// An animation added to a layer under a key. Layers add a copy, as the platform does, so one
// configured animation can be added again and again. Time values are seconds in the layer's time.
class Animation : public Object {
public:
    std::string className() const override { return "Animation"; }

    double duration = 0;   // 0: the transaction's duration when added
    double beginTime = 0;  // 0: the layer's time when added
    float repeatCount = 0;
    bool autoreverses = false;
    std::optional<MediaTimingFunction> timingFunction;
    FillMode fillMode = FillMode::removed;
    bool isRemovedOnCompletion = true;
    std::weak_ptr<AnimationDelegate> delegate;
    // Groups told when the copy on a layer ends (view animations and transactions join here).
    std::vector<std::shared_ptr<CompletionGroup>> completionGroups;

    void setValue(const std::string& key, std::any value) { m_values[key] = std::move(value); }
    const std::any* value(const std::string& key) const;

    virtual std::shared_ptr<Animation> copy() const = 0;
    virtual std::string keyPath() const { return {}; }
    // The value at `progress` of one pass (after the animation's own timing function), given the
    // property's model value; none when the animation does not set a value.
    virtual std::optional<AnimationValue> valueAt(double progress, const AnimationValue& model) const;

    // The value `time` seconds after the start (repetitions, reversal and timing applied).
    std::optional<AnimationValue> valueAtTime(double time, const AnimationValue& model) const {
        return valueAt(progressAt(time), model);
    }

    // Time from the start to the end of every repetition.
    double activeDuration() const;
    // The progress into a pass at `time` after the start, with repetitions, reversal and timing.
    double progressAt(double time) const;

protected:
    Animation() = default;
    void copyBaseInto(Animation& target) const;

private:
    std::map<std::string, std::any> m_values;
};

// An animation of one key path ("position", "opacity", "colors", ...).
class PropertyAnimation : public Animation {
public:
    std::string className() const override { return "PropertyAnimation"; }
    std::string keyPath() const override { return m_keyPath; }
    void setKeyPath(std::string keyPath) { m_keyPath = std::move(keyPath); }

protected:
    explicit PropertyAnimation(std::string keyPath) : m_keyPath(std::move(keyPath)) {}

private:
    std::string m_keyPath;
};

}  // namespace ui
