#pragma once

#include <map>
#include <memory>
#include <optional>

#include "platform/ui/controls/control.h"
#include "platform/ui/views/image.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A slider between a minimum and a maximum. The finger sets the value from its place along the
// track; a continuous slider sends "value changed" on every move, another only when the finger
// lifts. Subclasses take over tracking by overriding the tracking hooks.
class Slider : public Control {
public:
    static std::shared_ptr<Slider> create(const Rect& frame = {});
    std::string className() const override { return "Slider"; }
    // As wide as its constraints make it; as tall as its thumb: the default knob's height, or the
    // height of the thumb image set for the normal state.
    static constexpr double height = 31;
    Size intrinsicContentSize() const override;

    float value() const { return m_value; }
    // Clamped to minimum...maximum.
    virtual void setValue(float value, bool animated = false);
    float minimumValue() const { return m_minimum; }
    void setMinimumValue(float minimum);
    float maximumValue() const { return m_maximum; }
    void setMaximumValue(float maximum);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) {
        checkMainThread();
        m_continuous = continuous;
    }
    std::shared_ptr<Image> thumbImage(std::uint32_t state) const;
    void setThumbImage(std::shared_ptr<Image> image, std::uint32_t state);
    std::optional<Color> minimumTrackTintColor() const { return m_minimumTrackTint; }
    void setMinimumTrackTintColor(std::optional<Color> color) {
        checkMainThread();
        m_minimumTrackTint = std::move(color);
    }
    std::optional<Color> maximumTrackTintColor() const { return m_maximumTrackTint; }
    void setMaximumTrackTintColor(std::optional<Color> color) {
        checkMainThread();
        m_maximumTrackTint = std::move(color);
    }

    // The track: the bounds' width, 4 points high in the middle.
    virtual Rect trackRect(const Rect& bounds) const;
    // The value at an x of the slider's own coordinates.
    float valueAt(double x) const;
    // The x in the window where the value lies on the track.
    Point pointInWindow(float value) const;

    bool beginTracking(const Touch& touch) override;
    bool continueTracking(const Touch& touch) override;
    void endTracking(const Touch* touch) override;
    bool followsDrags() const override { return true; }

    // The finger drags the thumb from the current value to `value`.
    bool slide(float value);

protected:
    explicit Slider(const Rect& frame) : Control(frame) {}

private:
    void follow(const Touch& touch);

    float m_value = 0;
    float m_minimum = 0;
    float m_maximum = 1;
    bool m_continuous = true;
    std::map<std::uint32_t, std::shared_ptr<Image>> m_thumbImages;
    std::optional<Color> m_minimumTrackTint;
    std::optional<Color> m_maximumTrackTint;
};

}  // namespace ui
