#pragma once

#include <memory>
#include <optional>

#include "controls/options_item.h"
#include "platform/foundation/cancellable.h"
#include "playback/model/mpv_options_delegate.h"
#include "playback/model/player_screen.h"

namespace ui {
class Button;
class SegmentedControl;
class Slider;
class Stepper;
class Switch;
}  // namespace ui

namespace reelhaven {

class PlaybackInfo;

// What the option controls need of the popover that shows them (main thread).
class OptionsControlsHost {
public:
    virtual ~OptionsControlsHost() = default;
    // The video's state; missing is a programming error.
    virtual std::shared_ptr<PlaybackInfo> requirePlaybackInfo() const = 0;
    // The player's mpv writer, none once the player is gone.
    virtual std::shared_ptr<MPVOptionsDelegate> optionsDelegate() const = 0;
    // The presenting player, none when the popover is not presented by one.
    virtual std::shared_ptr<PlayerScreen> presentingPlayer() const = 0;
    // The rows changed (the manual position came or went): show them again, animated.
    virtual void rowsDidChange() = 0;
    // The subtitle appearance was reset: configure the subtitle rows afresh, not animated.
    virtual void subtitleRowsDidReset() = 0;
};

// The controls of the options popover's rows, each made on first use and kept: how it is set
// up from the current setting and what its action stores (Preferences for every video,
// PlaybackInfo for this one) and then writes to mpv. Writes and player updates are skipped once
// the player is gone; the stored value is written regardless. The closures hold this object
// weakly. Main thread.
class OptionsControls : public std::enable_shared_from_this<OptionsControls> {
public:
    static std::shared_ptr<OptionsControls> create(std::weak_ptr<OptionsControlsHost> host);

    const OptionsControl& playbackSpeedStepper();
    const OptionsControl& continuousPlaybackSwitch();
    const OptionsControl& loopSwitch();
    const OptionsControl& highQualityVideoSwitch();
    const OptionsControl& deinterlaceSwitch();
    const OptionsControl& skipIntervalsSegmentedControl();
    const OptionsControl& preferLandscapeSwitch();
    const OptionsControl& subtitleScaleSlider();
    const OptionsControl& subtitlePositionAutoSwitch();
    const OptionsControl& subtitlePositionSlider();
    const OptionsControl& subtitleDelayStepper();
    const OptionsControl& subtitleFontButton();
    const OptionsControl& subtitleBorderSizeStepper();
    const OptionsControl& subtitleShadowSwitch();
    const OptionsControl& subtitleResetButton();
    const OptionsControl& volumeSegmentedControl();

    // The size slider's position for a stored scale, and the scale a position stores.
    static float subtitleScaleSliderValue(double scale);
    static double subtitleScale(float sliderValue);

    // The body of the reset button's action.
    void resetSubtitleAppearance();

private:
    explicit OptionsControls(std::weak_ptr<OptionsControlsHost> host) : m_host(std::move(host)) {}

    template <typename Control>
    using Setup = void (OptionsControls::*)(Control&);
    // A lazily made record whose configuration casts to `Control` and runs `setup` while this
    // object lives.
    template <typename Control>
    const OptionsControl& lazy(std::optional<OptionsControl>& slot, OptionsControlType type, Setup<Control> setup,
                               std::function<std::optional<float>(OptionsControls&)> reset = {});
    // `action` for the control's value-changed event (touch up inside for buttons).
    template <typename Control>
    void onChange(Control& control, void (OptionsControls::*action)(Control&), std::uint32_t events);
    void write(const std::function<void(MPVOptionsDelegate&)>& call) const;
    void updatePlayer(const std::function<void(PlayerScreen&)>& call) const;
    std::shared_ptr<PlaybackInfo> playbackInfo() const;

    // Configurations.
    void setupSpeedStepper(ui::Stepper& stepper);
    void setupContinuousPlaybackSwitch(ui::Switch& control);
    void setupLoopSwitch(ui::Switch& control);
    void setupHighQualityVideoSwitch(ui::Switch& control);
    void setupDeinterlaceSwitch(ui::Switch& control);
    void setupSkipIntervals(ui::SegmentedControl& control);
    void setupPreferLandscapeSwitch(ui::Switch& control);
    void setupScaleSlider(ui::Slider& slider);
    void setupPositionAutoSwitch(ui::Switch& control);
    void setupPositionSlider(ui::Slider& slider);
    void setupDelayStepper(ui::Stepper& stepper);
    void setupFontButton(ui::Button& button);
    void setupBorderSizeStepper(ui::Stepper& stepper);
    void setupShadowSwitch(ui::Switch& control);
    void setupResetButton(ui::Button& button);
    void setupVolumeSegments(ui::SegmentedControl& control);

    // Actions.
    void speedValueChanged(ui::Stepper& stepper);
    void toggleContinuousPlayback(ui::Switch& control);
    void toggleLoop(ui::Switch& control);
    void toggleHighQualityVideo(ui::Switch& control);
    void toggleDeinterlacing(ui::Switch& control);
    void skipIntervalsChanged(ui::SegmentedControl& control);
    void togglePreferLandscape(ui::Switch& control);
    void subtitleScaleChanged(ui::Slider& slider);
    void toggleSubtitlePositionAuto(ui::Switch& control);
    void subtitlePositionChanged(ui::Slider& slider);
    void subtitleDelayChanged(ui::Stepper& stepper);
    void subtitleBorderSizeChanged(ui::Stepper& stepper);
    void toggleSubtitleShadow(ui::Switch& control);
    void resetSubtitles(ui::Button& button);
    void volumeValueChanged(ui::SegmentedControl& control);

    // Slider resets.
    std::optional<float> resetSubtitleScale();
    std::optional<float> resetSubtitlePosition();

    std::weak_ptr<OptionsControlsHost> m_host;
    std::optional<OptionsControl> m_playbackSpeedStepper;
    std::optional<OptionsControl> m_continuousPlaybackSwitch;
    std::optional<OptionsControl> m_loopSwitch;
    std::optional<OptionsControl> m_highQualityVideoSwitch;
    std::optional<OptionsControl> m_deinterlaceSwitch;
    std::optional<OptionsControl> m_skipIntervalsSegmentedControl;
    std::optional<OptionsControl> m_preferLandscapeSwitch;
    std::optional<OptionsControl> m_subtitleScaleSlider;
    std::optional<OptionsControl> m_subtitlePositionAutoSwitch;
    std::optional<OptionsControl> m_subtitlePositionSlider;
    std::optional<OptionsControl> m_subtitleDelayStepper;
    foundation::Cancellable m_fontCancellable;
    std::optional<OptionsControl> m_subtitleFontButton;
    std::optional<OptionsControl> m_subtitleBorderSizeStepper;
    std::optional<OptionsControl> m_subtitleShadowSwitch;
    std::optional<OptionsControl> m_subtitleResetButton;
    std::optional<OptionsControl> m_volumeSegmentedControl;
};

}  // namespace reelhaven
