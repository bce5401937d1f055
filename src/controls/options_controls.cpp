#include "controls/options_controls.h"

#include <cmath>
#include <string>

#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "core/video_progress.h"
#include "platform/base/fatal.h"
#include "platform/ui/controls/button.h"
#include "platform/ui/controls/segmented_control.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/controls/stepper.h"
#include "platform/ui/controls/switch_control.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/text_attachment.h"
#include "platform/ui/views/image.h"
#include "playback/model/playback_info.h"
#include "toolkit/image_helpers.h"
#include "toolkit/number_text.h"

namespace reelhaven {
namespace {

constexpr const char* kShadowColor = "#33000000";
constexpr double kDefaultBorderSize = 3.0;

Preferences& preferences() { return Preferences::shared(); }

const char* skipIntervalText(int segment) {
    switch (segment) {
        case 0: return "5";
        case 2: return "15";
        case 3: return "30";
        default: return "10";
    }
}

int skipIntervalSegment(const std::string& interval) {
    if (interval == "5") return 0;
    if (interval == "15") return 2;
    if (interval == "30") return 3;
    return 1;
}

int volumeForSegment(int segment) {
    if (segment == 0) return 50;
    if (segment == 2) return 150;
    return 100;
}

int volumeSegment(std::optional<int> volume) {
    if (volume == 50) return 0;
    if (volume == 150) return 2;
    return 1;
}

void setThumbs(ui::Slider& slider) {
    auto thumb = filledCircleImage(ui::Color::white(), {20, 20});
    for (auto state : {ui::normal, ui::highlighted, ui::selected}) slider.setThumbImage(thumb, state);
}

void setPreferredWidth(ui::View& view, double width) {
    auto constraint = view.widthAnchor().constraintEqualToConstant(width);
    constraint->setPriority(250);
    constraint->setActive(true);
}

}  // namespace

std::shared_ptr<OptionsControls> OptionsControls::create(std::weak_ptr<OptionsControlsHost> host) {
    return std::shared_ptr<OptionsControls>(new OptionsControls(std::move(host)));
}

template <typename Control>
const OptionsControl& OptionsControls::lazy(std::optional<OptionsControl>& slot, OptionsControlType type,
                                            Setup<Control> setup,
                                            std::function<std::optional<float>(OptionsControls&)> reset) {
    if (slot) return *slot;
    std::weak_ptr<OptionsControls> weak = weak_from_this();
    OptionsControl record;
    record.type = type;
    record.configuration = [weak, setup](const std::shared_ptr<ui::Control>& control) {
        auto self = weak.lock();
        auto typed = std::dynamic_pointer_cast<Control>(control);
        if (self && typed) ((*self).*setup)(*typed);
    };
    if (reset) {
        record.reset = [weak, reset]() -> std::optional<float> {
            auto self = weak.lock();
            return self ? reset(*self) : std::nullopt;
        };
    }
    slot = std::move(record);
    return *slot;
}

template <typename Control>
void OptionsControls::onChange(Control& control, void (OptionsControls::*action)(Control&), std::uint32_t events) {
    std::weak_ptr<OptionsControls> weak = weak_from_this();
    control.addTarget(
        shared_from_this(),
        [weak, action](ui::Control& sender) {
            auto self = weak.lock();
            auto* typed = dynamic_cast<Control*>(&sender);
            if (self && typed) ((*self).*action)(*typed);
        },
        events);
}

std::shared_ptr<PlaybackInfo> OptionsControls::playbackInfo() const {
    auto host = m_host.lock();
    if (!host) base::fatal("OptionsControls: the popover is gone");
    return host->requirePlaybackInfo();
}

void OptionsControls::write(const std::function<void(MPVOptionsDelegate&)>& call) const {
    auto host = m_host.lock();
    if (!host) return;
    if (auto player = host->optionsDelegate()) call(*player);
}

void OptionsControls::updatePlayer(const std::function<void(PlayerScreen&)>& call) const {
    auto host = m_host.lock();
    if (!host) return;
    if (auto player = host->presentingPlayer()) call(*player);
}

// Records.

const OptionsControl& OptionsControls::playbackSpeedStepper() {
    return lazy<ui::Stepper>(m_playbackSpeedStepper, OptionsControlType::stepper, &OptionsControls::setupSpeedStepper);
}
const OptionsControl& OptionsControls::continuousPlaybackSwitch() {
    return lazy<ui::Switch>(m_continuousPlaybackSwitch, OptionsControlType::toggle,
                            &OptionsControls::setupContinuousPlaybackSwitch);
}
const OptionsControl& OptionsControls::loopSwitch() {
    return lazy<ui::Switch>(m_loopSwitch, OptionsControlType::toggle, &OptionsControls::setupLoopSwitch);
}
const OptionsControl& OptionsControls::highQualityVideoSwitch() {
    return lazy<ui::Switch>(m_highQualityVideoSwitch, OptionsControlType::toggle,
                            &OptionsControls::setupHighQualityVideoSwitch);
}
const OptionsControl& OptionsControls::deinterlaceSwitch() {
    return lazy<ui::Switch>(m_deinterlaceSwitch, OptionsControlType::toggle, &OptionsControls::setupDeinterlaceSwitch);
}
const OptionsControl& OptionsControls::skipIntervalsSegmentedControl() {
    return lazy<ui::SegmentedControl>(m_skipIntervalsSegmentedControl, OptionsControlType::segmentedControl,
                                      &OptionsControls::setupSkipIntervals);
}
const OptionsControl& OptionsControls::preferLandscapeSwitch() {
    return lazy<ui::Switch>(m_preferLandscapeSwitch, OptionsControlType::toggle,
                            &OptionsControls::setupPreferLandscapeSwitch);
}
const OptionsControl& OptionsControls::subtitleScaleSlider() {
    return lazy<ui::Slider>(m_subtitleScaleSlider, OptionsControlType::slider, &OptionsControls::setupScaleSlider,
                            &OptionsControls::resetSubtitleScale);
}
const OptionsControl& OptionsControls::subtitlePositionAutoSwitch() {
    return lazy<ui::Switch>(m_subtitlePositionAutoSwitch, OptionsControlType::toggle,
                            &OptionsControls::setupPositionAutoSwitch);
}
const OptionsControl& OptionsControls::subtitlePositionSlider() {
    return lazy<ui::Slider>(m_subtitlePositionSlider, OptionsControlType::slider, &OptionsControls::setupPositionSlider,
                            &OptionsControls::resetSubtitlePosition);
}
const OptionsControl& OptionsControls::subtitleDelayStepper() {
    return lazy<ui::Stepper>(m_subtitleDelayStepper, OptionsControlType::stepper, &OptionsControls::setupDelayStepper);
}
const OptionsControl& OptionsControls::subtitleFontButton() {
    return lazy<ui::Button>(m_subtitleFontButton, OptionsControlType::button, &OptionsControls::setupFontButton);
}
const OptionsControl& OptionsControls::subtitleBorderSizeStepper() {
    return lazy<ui::Stepper>(m_subtitleBorderSizeStepper, OptionsControlType::stepper,
                             &OptionsControls::setupBorderSizeStepper);
}
const OptionsControl& OptionsControls::subtitleShadowSwitch() {
    return lazy<ui::Switch>(m_subtitleShadowSwitch, OptionsControlType::toggle, &OptionsControls::setupShadowSwitch);
}
const OptionsControl& OptionsControls::subtitleResetButton() {
    return lazy<ui::Button>(m_subtitleResetButton, OptionsControlType::button, &OptionsControls::setupResetButton);
}
const OptionsControl& OptionsControls::volumeSegmentedControl() {
    return lazy<ui::SegmentedControl>(m_volumeSegmentedControl, OptionsControlType::segmentedControl,
                                      &OptionsControls::setupVolumeSegments);
}

// Configurations.

void OptionsControls::setupSpeedStepper(ui::Stepper& stepper) {
    stepper.setValue(roundedHalfEven(playbackInfo()->playbackSpeed().value_or(1.0), 1));
    stepper.setStepValue(0.1);
    stepper.setMinimumValue(kSlowestPlaybackSpeed);
    stepper.setMaximumValue(kFastestPlaybackSpeed);
    stepper.setTintColor(ui::Color::white());
    onChange(stepper, &OptionsControls::speedValueChanged, ui::valueChanged);
    stepper.setBackgroundColor(ui::Color::clear());
}

namespace {
void setupSwitch(ui::Switch& control, bool on) {
    control.setOn(on);
    control.setOnTintColor(ui::Color::systemBlue());
}
}  // namespace

void OptionsControls::setupContinuousPlaybackSwitch(ui::Switch& control) {
    setupSwitch(control, preferences().continuousPlayback.wrappedValue());
    onChange(control, &OptionsControls::toggleContinuousPlayback, ui::valueChanged);
}

void OptionsControls::setupLoopSwitch(ui::Switch& control) {
    setupSwitch(control, playbackInfo()->loop().value_or(false));
    onChange(control, &OptionsControls::toggleLoop, ui::valueChanged);
}

void OptionsControls::setupHighQualityVideoSwitch(ui::Switch& control) {
    setupSwitch(control, preferences().highQualityVideo.wrappedValue());
    onChange(control, &OptionsControls::toggleHighQualityVideo, ui::valueChanged);
}

void OptionsControls::setupDeinterlaceSwitch(ui::Switch& control) {
    setupSwitch(control, playbackInfo()->deinterlace().value_or(false));
    onChange(control, &OptionsControls::toggleDeinterlacing, ui::valueChanged);
}

void OptionsControls::setupSkipIntervals(ui::SegmentedControl& control) {
    control.removeAllSegments();
    for (int segment = 0; segment < 4; ++segment) control.insertSegment(skipIntervalText(segment), segment);
    control.setTintColor(ui::Color::systemBlue());
    control.setSelectedSegmentIndex(skipIntervalSegment(preferences().skipInterval.wrappedValue()));
    onChange(control, &OptionsControls::skipIntervalsChanged, ui::valueChanged);
}

void OptionsControls::setupPreferLandscapeSwitch(ui::Switch& control) {
    setupSwitch(control, preferences().preferLandscape.wrappedValue());
    onChange(control, &OptionsControls::togglePreferLandscape, ui::valueChanged);
}

void OptionsControls::setupScaleSlider(ui::Slider& slider) {
    slider.setMaximumValue(1.5f);
    slider.setMinimumValue(-1.5f);
    slider.setValue(subtitleScaleSliderValue(preferences().subtitleScale.wrappedValue()));
    setPreferredWidth(slider, 220);
    setThumbs(slider);
    onChange(slider, &OptionsControls::subtitleScaleChanged, ui::valueChanged);
}

void OptionsControls::setupPositionAutoSwitch(ui::Switch& control) {
    setupSwitch(control, preferences().subtitlePositionAuto.wrappedValue());
    onChange(control, &OptionsControls::toggleSubtitlePositionAuto, ui::valueChanged);
}

void OptionsControls::setupPositionSlider(ui::Slider& slider) {
    slider.setMaximumValue(100);
    slider.setMinimumValue(0);
    slider.setValue(static_cast<float>(preferences().subtitlePosition.wrappedValue()));
    setPreferredWidth(slider, 185);
    setThumbs(slider);
    onChange(slider, &OptionsControls::subtitlePositionChanged, ui::valueChanged);
}

namespace {
void setupHalfStepper(ui::Stepper& stepper, double minimum, double maximum, double value) {
    stepper.setStepValue(0.5);
    stepper.setMinimumValue(minimum);
    stepper.setMaximumValue(maximum);
    stepper.setValue(value);
    stepper.setTintColor(ui::Color::white());
}
}  // namespace

void OptionsControls::setupDelayStepper(ui::Stepper& stepper) {
    setupHalfStepper(stepper, -5.0, 5.0, preferences().subtitleDelay.wrappedValue());
    onChange(stepper, &OptionsControls::subtitleDelayChanged, ui::valueChanged);
    stepper.setBackgroundColor(ui::Color::clear());
}

void OptionsControls::setupBorderSizeStepper(ui::Stepper& stepper) {
    setupHalfStepper(stepper, 0.0, 5.0, preferences().subtitleBorderSize.wrappedValue());
    onChange(stepper, &OptionsControls::subtitleBorderSizeChanged, ui::valueChanged);
    stepper.setBackgroundColor(ui::Color::clear());
}

void OptionsControls::setupFontButton(ui::Button& button) {
    button.setUserInteractionEnabled(false);
    button.setContentVerticalAlignment(ui::ContentVerticalAlignment::center);
    auto label = button.titleLabel();
    label->setNumberOfLines(1);
    label->setAdjustsFontSizeToFitWidth(true);
    label->setLineBreakMode(ui::LineBreakMode::byClipping);
    // The button is the cell's; the subscription only ever touches it while it lives.
    std::weak_ptr<ui::Button> weakButton = button.sharedAs<ui::Button>();
    m_fontCancellable = preferences().subtitleFont.publisher().sink([weakButton](const std::string& font) {
        auto target = weakButton.lock();
        if (!target) return;
        if (font == "sans-serif") {
            target->setTitle("System", ui::normal);
            target->titleLabel()->setFont(ui::Font::systemFont(18));
        } else {
            target->setTitle(font, ui::normal);
            target->titleLabel()->setFont(ui::Font::fromDescriptor(ui::FontDescriptor(font, 18), 18));
        }
    });
}

void OptionsControls::setupShadowSwitch(ui::Switch& control) {
    setupSwitch(control, preferences().subtitleShadow.wrappedValue());
    onChange(control, &OptionsControls::toggleSubtitleShadow, ui::valueChanged);
}

void OptionsControls::setupResetButton(ui::Button& button) {
    auto symbol =
        ui::Image::systemImage("arrow.counterclockwise", ui::SymbolConfiguration{14, ui::SymbolWeight::medium})
            ->withTintColor(ui::Color::white());
    auto title = ui::AttributedString::create("Reset Appearance  ")
                     ->appending(*ui::AttributedString::withAttachment(ui::TextAttachment::create(symbol)));
    button.setAttributedTitle(title, ui::normal);
    button.sizeToFit();
    button.setTintColor(ui::Color::white());
    if (auto font = ui::Font::named("Inter-Medium", 14)) button.titleLabel()->setFont(*font);
    onChange(button, &OptionsControls::resetSubtitles, ui::touchUpInside);
}

void OptionsControls::setupVolumeSegments(ui::SegmentedControl& control) {
    control.removeAllSegments();
    control.insertSegment("Lower", 0);
    control.insertSegment("Normal", 1);
    control.insertSegment("Higher", 2);
    control.setTintColor(ui::Color::systemBlue());
    control.setSelectedSegmentIndex(volumeSegment(playbackInfo()->volume()));
    onChange(control, &OptionsControls::volumeValueChanged, ui::valueChanged);
}

// Actions: store first, then mpv, then the rest.

void OptionsControls::speedValueChanged(ui::Stepper& stepper) {
    const double speed = stepper.value();
    playbackInfo()->setPlaybackSpeed(speed);
    write([speed](MPVOptionsDelegate& player) { player.setDoubleProperty("speed", speed); });
}

void OptionsControls::toggleContinuousPlayback(ui::Switch& control) {
    preferences().continuousPlayback.setWrappedValue(control.isOn());
}

void OptionsControls::toggleLoop(ui::Switch& control) {
    const bool on = control.isOn();
    playbackInfo()->setLoop(on);
    write([on](MPVOptionsDelegate& player) { player.setStringProperty("loop-file", on ? "inf" : "no"); });
}

void OptionsControls::toggleHighQualityVideo(ui::Switch& control) {
    const bool on = control.isOn();
    preferences().highQualityVideo.setWrappedValue(on);
    write([on](MPVOptionsDelegate& player) { player.setHighQualityVideo(on); });
}

void OptionsControls::toggleDeinterlacing(ui::Switch& control) {
    const bool on = control.isOn();
    playbackInfo()->setDeinterlace(on);
    write([on](MPVOptionsDelegate& player) { player.setFlagProperty("deinterlace", on); });
}

void OptionsControls::skipIntervalsChanged(ui::SegmentedControl& control) {
    preferences().skipInterval.setWrappedValue(skipIntervalText(control.selectedSegmentIndex()));
    updatePlayer([](PlayerScreen& player) {
        auto controls = player.controlView();
        if (!controls) base::fatal("OptionsControls: the player has no control view");
        controls->updateSkipIntervalIcons();
    });
}

void OptionsControls::togglePreferLandscape(ui::Switch& control) {
    preferences().preferLandscape.setWrappedValue(control.isOn());
}

float OptionsControls::subtitleScaleSliderValue(double scale) {
    return static_cast<float>(scale >= 1 ? scale - 1 : 1 - 1 / scale);
}

double OptionsControls::subtitleScale(float sliderValue) {
    const double value = sliderValue;
    const double scale = value > 0 ? std::round((value + 1) * 50) / 50 : 1 / (std::round((value - 1) * 50) / 50);
    return std::fabs(scale);
}

void OptionsControls::subtitleScaleChanged(ui::Slider& slider) {
    const double scale = subtitleScale(slider.value());
    preferences().subtitleScale.setWrappedValue(scale);
    write([scale](MPVOptionsDelegate& player) { player.setDoubleProperty("sub-scale", scale); });
}

void OptionsControls::toggleSubtitlePositionAuto(ui::Switch& control) {
    preferences().subtitlePositionAuto.setWrappedValue(control.isOn());
    if (auto host = m_host.lock()) host->rowsDidChange();
    updatePlayer([](PlayerScreen& player) { player.updateSubtitlePosition(); });
}

void OptionsControls::subtitlePositionChanged(ui::Slider& slider) {
    const auto position = static_cast<std::int64_t>(std::trunc(slider.value()));
    preferences().subtitlePosition.setWrappedValue(position);
    write([position](MPVOptionsDelegate& player) { player.setIntProperty("sub-pos", position); });
}

void OptionsControls::subtitleDelayChanged(ui::Stepper& stepper) {
    const double delay = stepper.value();
    preferences().subtitleDelay.setWrappedValue(delay);
    write([delay](MPVOptionsDelegate& player) { player.setDoubleProperty("sub-delay", delay); });
}

void OptionsControls::subtitleBorderSizeChanged(ui::Stepper& stepper) {
    const double size = stepper.value();
    preferences().subtitleBorderSize.setWrappedValue(size);
    write([size](MPVOptionsDelegate& player) { player.setDoubleProperty("sub-border-size", size); });
}

void OptionsControls::toggleSubtitleShadow(ui::Switch& control) {
    const bool on = control.isOn();
    preferences().subtitleShadow.setWrappedValue(on);
    write([on](MPVOptionsDelegate& player) {
        player.setDoubleProperty("sub-shadow-offset", on ? 1.5 : 0.0);
        player.setStringProperty("sub-shadow-color", kShadowColor);
    });
}

void OptionsControls::resetSubtitles(ui::Button& /*button*/) { resetSubtitleAppearance(); }

void OptionsControls::resetSubtitleAppearance() {
    preferences().subtitleShadow.setWrappedValue(false);
    preferences().subtitleFont.setWrappedValue("sans-serif");
    preferences().subtitleBorderSize.setWrappedValue(kDefaultBorderSize);
    write([](MPVOptionsDelegate& player) {
        player.setDoubleProperty("sub-border-size", kDefaultBorderSize);
        player.setDoubleProperty("sub-shadow-offset", 0.0);
        player.setStringProperty("sub-shadow-color", kShadowColor);
    });
    updatePlayer([](PlayerScreen& player) {
        player.updateSubtitlePosition();
        player.updateSubtitleFont();
    });
    if (auto host = m_host.lock()) host->subtitleRowsDidReset();
}

void OptionsControls::volumeValueChanged(ui::SegmentedControl& control) {
    const int volume = volumeForSegment(control.selectedSegmentIndex());
    playbackInfo()->setVolume(volume);
    write([volume](MPVOptionsDelegate& player) { player.setIntProperty("volume", volume); });
}

std::optional<float> OptionsControls::resetSubtitleScale() {
    preferences().subtitleScale.setWrappedValue(1.0);
    write([](MPVOptionsDelegate& player) { player.setIntProperty("sub-scale", 1); });
    return 0.0f;
}

std::optional<float> OptionsControls::resetSubtitlePosition() {
    preferences().subtitlePosition.setWrappedValue(100);
    write([](MPVOptionsDelegate& player) { player.setIntProperty("sub-pos", 100); });
    return 100.0f;
}

}  // namespace reelhaven
