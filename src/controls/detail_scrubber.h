#pragma once

#include <map>
#include <memory>
#include <optional>

#include "platform/ui/controls/slider.h"

namespace reelhaven {

class DetailScrubber;

// Optional hooks of a scrubber's owner; the defaults stand for a method the owner lacks.
class DetailScrubberDelegate {
public:
    virtual ~DetailScrubberDelegate() = default;
    // Asked at the start of each drag; a table replaces the scrubber's.
    virtual std::optional<std::map<double, float>> scrubbingSpeeds(DetailScrubber& /*scrubber*/) {
        return std::nullopt;
    }
    // The entry in force changed during a drag, or a drag ended away from the bar.
    virtual void didChangeScrubbingSpeed(DetailScrubber& /*scrubber*/, float /*speed*/, double /*yOffset*/) {}
};

// The player's progress bar: a slider whose value moves by a fraction of the finger's horizontal
// travel that falls as the finger moves away vertically from where the drag began (the speed
// table maps that distance in points to the fraction). It follows the finger itself instead of
// jumping to it, grows vertically while touched and draws only a thin rounded band. Main thread.
class DetailScrubber : public ui::Slider {
public:
    using SpeedTable = std::map<double, float>;

    static std::shared_ptr<DetailScrubber> create(const ui::Rect& frame = {});
    std::string className() const override { return "DetailScrubber"; }

    std::shared_ptr<DetailScrubberDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<DetailScrubberDelegate>& delegate) { m_delegate = delegate; }

    const SpeedTable& scrubbingSpeeds() const { return m_scrubbingSpeeds; }
    // Distance 0 always runs at full speed: its entry is set to 1.0 after every assignment.
    void setScrubbingSpeeds(SpeedTable speeds);
    // The speed in force: 0 before the first drag, the speed of distance 0 after one.
    float currentSpeed() const { return m_scrubbingSpeed.speed; }

    // How the player moves the bar while playing: also where a full-speed drag starts from.
    void setValue(float value, bool animated = false);

    void setFrame(const ui::Rect& frame) override;
    void setBounds(const ui::Rect& bounds) override;
    ui::Rect trackRect(const ui::Rect& bounds) const override;

    bool beginTracking(const ui::Touch& touch) override;
    bool continueTracking(const ui::Touch& touch) override;
    void endTracking(const ui::Touch* touch) override;
    void cancelTracking() override;

protected:
    explicit DetailScrubber(const ui::Rect& frame);

private:
    struct SpeedEntry {
        double yOffset = 0;
        float speed = 0;
    };

    SpeedEntry speedEntry(double distance) const;
    void finishTracking();
    void rebuildTrackMask();

    std::weak_ptr<DetailScrubberDelegate> m_delegate;
    SpeedTable m_scrubbingSpeeds{{0, 1.0f}, {50, 0.5f}, {100, 0.25f}, {150, 0.1f}, {200, 0.05f}};
    SpeedEntry m_scrubbingSpeed;
    float m_realPositionValue = 1.0f;
    ui::Point m_beganTrackingLocation;
};

}  // namespace reelhaven
