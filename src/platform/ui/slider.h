#pragma once

#include <map>
#include <memory>
#include <optional>

#include "platform/ui/control.h"
#include "platform/ui/image.h"

namespace ui {

// A slider between a minimum and a maximum. The user drags with `beginTracking`,
// `continueTracking` and `endTracking`: a continuous slider sends "value changed" on every move,
// another only when the drag ends.
class Slider : public Control {
public:
    static std::shared_ptr<Slider> create(const Rect& frame = {});
    std::string className() const override { return "Slider"; }

    float value() const { return m_value; }
    // Clamped to minimum...maximum.
    void setValue(float value, bool animated = false);
    float minimumValue() const { return m_minimum; }
    void setMinimumValue(float minimum);
    float maximumValue() const { return m_maximum; }
    void setMaximumValue(float maximum);
    bool isContinuous() const { return m_continuous; }
    void setContinuous(bool continuous) { m_continuous = continuous; }
    std::shared_ptr<Image> thumbImage(std::uint32_t state) const;
    void setThumbImage(std::shared_ptr<Image> image, std::uint32_t state);
    std::optional<Color> minimumTrackTintColor() const { return m_minimumTrackTint; }
    void setMinimumTrackTintColor(std::optional<Color> color) { m_minimumTrackTint = std::move(color); }
    std::optional<Color> maximumTrackTintColor() const { return m_maximumTrackTint; }
    void setMaximumTrackTintColor(std::optional<Color> color) { m_maximumTrackTint = std::move(color); }

    bool beginTracking(float value);
    void continueTracking(float value);
    void endTracking(float value);
    void cancelTracking();
    // A whole drag to `value` at once.
    bool slide(float value);

protected:
    explicit Slider(const Rect& frame) : Control(frame) {}

private:
    float m_value = 0;
    float m_minimum = 0;
    float m_maximum = 1;
    bool m_continuous = true;
    std::map<std::uint32_t, std::shared_ptr<Image>> m_thumbImages;
    std::optional<Color> m_minimumTrackTint;
    std::optional<Color> m_maximumTrackTint;
};

}  // namespace ui
