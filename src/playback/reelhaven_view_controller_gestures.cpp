#include "playback/reelhaven_view_controller.h"

#include <algorithm>
#include <cmath>

#include "controls/bottom_control_view.h"
#include "controls/detail_scrubber.h"
#include "controls/note_view.h"
#include "controls/title_view.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "platform/media/audio_session.h"
#include "platform/media/volume_view.h"
#include "platform/ui/controls/control.h"
#include "platform/ui/controls/feedback_generator.h"
#include "platform/ui/controls/slider.h"
#include "platform/ui/gestures/pinch_gesture_recognizer.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/layout/stack_view.h"
#include "platform/ui/text/label.h"
#include "platform/ui/views/screen.h"
#include "playback/initial_pan_gesture_recognizer.h"
#include "playback/mpv_session.h"
#include "playback/player_gesture_rules.h"

// The gestures and keys of the player screen: taps show and hide the controls, a two-finger tap
// pauses, a pinch switches the content mode, a one-finger pan seeks (horizontal) or changes the
// volume (right edge) or brightness (left edge); arrows skip and step, space and keypad 0 pause.
namespace reelhaven {

namespace {

using gesture_rules::kDeadZone;

constexpr double kBrightnessRange = 250;  // points for the whole range
constexpr double kVolumeRange = 500;
constexpr double kBrightnessStep = 0.01;
constexpr double kVolumeStep = 0.008;
constexpr double kPointsPerSecond = 15;
constexpr double kEdgeZone = 0.2;  // of the width, on each side
constexpr double kFadeDuration = 0.3;
constexpr double kFadedAlpha = 0.02;
constexpr const char* kProgressStateToggle = "progressStateToggle";

bool isEnding(ui::GestureRecognizerState state) {
    return state == ui::GestureRecognizerState::ended || state == ui::GestureRecognizerState::cancelled;
}

}  // namespace

void ReelhavenViewController::setupGestures() {
    auto root = view();
    auto target = self();
    auto action = [weak = weakSelf()](void (ReelhavenViewController::*handler)(ui::GestureRecognizer&)) {
        return [weak, handler](ui::GestureRecognizer& recognizer) {
            if (auto self = weak.lock()) ((*self).*handler)(recognizer);
        };
    };
    std::shared_ptr<ui::GestureRecognizerDelegate> delegate = target;

    m_tapGestureRecognizer = ui::TapGestureRecognizer::create(target, action(&ReelhavenViewController::didTapScreen));
    m_pinchGestureRecognizer =
        ui::PinchGestureRecognizer::create(target, action(&ReelhavenViewController::didPinchScreen));
    auto pan = InitialPanGestureRecognizer::create(target, action(&ReelhavenViewController::didPanScreen));
    pan->setMaximumNumberOfTouches(1);
    m_panGestureRecognizer = pan;
    m_multitapGestureRecognizer =
        ui::TapGestureRecognizer::create(target, action(&ReelhavenViewController::didMultitapScreen));
    m_multitapGestureRecognizer->setNumberOfTouchesRequired(2);

    for (const std::shared_ptr<ui::GestureRecognizer>& recognizer :
         {std::static_pointer_cast<ui::GestureRecognizer>(m_tapGestureRecognizer),
          std::static_pointer_cast<ui::GestureRecognizer>(m_pinchGestureRecognizer),
          std::static_pointer_cast<ui::GestureRecognizer>(m_panGestureRecognizer),
          std::static_pointer_cast<ui::GestureRecognizer>(m_multitapGestureRecognizer)}) {
        recognizer->setDelegate(delegate);
        root->addGestureRecognizer(recognizer);
    }
}

bool ReelhavenViewController::shouldReceiveTouch(ui::GestureRecognizer& recognizer, const ui::Touch& touch) {
    auto* tap = dynamic_cast<ui::TapGestureRecognizer*>(&recognizer);
    if (tap && tap->numberOfTouchesRequired() == 2) return true;
    auto touched = touch.view.lock();
    if (!touched) return false;
    if (m_controlsAreAnimating && tap) return false;
    if (m_playbackInfo->isSeeking()) return false;
    auto controls = m_controlView.lock();
    auto bottomBar = controls ? controls->bottomControlView() : nullptr;
    if (bottomBar && bottomBar->progressBar()->isTracking() && !m_hideControls) return false;
    if (std::dynamic_pointer_cast<ui::Control>(touched) || std::dynamic_pointer_cast<ui::StackView>(touched)) {
        // A touch on the bars keeps them up: the play button of a playing video holds them
        // until something hides them, any other restarts the 4-second wait, also while paused.
        if (bottomBar && touched == bottomBar->playPauseButton() && !m_playbackInfo->isPaused())
            showControls();
        else
            scheduleHideControls(true);
        return false;
    }
    if (std::dynamic_pointer_cast<ui::Label>(touched)) {
        if (recognizer.name() == kProgressStateToggle) return true;
        scheduleHideControls(false);
        return false;
    }
    return true;
}

void ReelhavenViewController::didTapScreen(ui::GestureRecognizer&) {
    if (m_hideControls) {
        scheduleHideControls(false);
        return;
    }
    showControls();
    if (presentedViewController()) dismiss(true);
    fadeOutControls(false);
}

void ReelhavenViewController::didMultitapScreen(ui::GestureRecognizer&) {
    auto& settings = preferences();
    if (!settings.playPauseTapGestures.wrappedValue()) return;
    const bool haptics = !settings.reduceHaptics.wrappedValue();
    if (haptics) m_lightHapticFeedbackGenerator->prepare();
    togglePaused();
    if (!m_hideControls) scheduleHideControls(false);
    if (haptics) m_lightHapticFeedbackGenerator->impactOccurred();
}

void ReelhavenViewController::didPinchScreen(ui::GestureRecognizer& recognizer) {
    // Cancelled as well as ended re-arms: a pinch the system took away must not leave the next
    // one without effect.
    if (isEnding(recognizer.state())) {
        m_didChangeAspect.reset();
        return;
    }
    if (m_didChangeAspect == true) return;
    auto& pinch = static_cast<ui::PinchGestureRecognizer&>(recognizer);
    auto next = gesture_rules::pinchedContentMode(m_contentMode, pinch.scale(), usesThreeStepAspectLadder());
    if (!next) return;
    switchContentMode(*next);
    m_didChangeAspect = true;
}

void ReelhavenViewController::didPanScreen(ui::GestureRecognizer& recognizer) {
    auto& pan = static_cast<ui::PanGestureRecognizer&>(recognizer);
    if (isEnding(pan.state())) {
        endPan();
        return;
    }
    auto root = view();
    const ui::Point translation = pan.translation(root.get());
    if (!m_validPanSeek && !m_validPanVolume && !m_validPanBrightness && !decidePan(translation)) return;
    panLevels(translation.y);
    if (m_validPanSeek == true) panSeek(translation.x, pan.velocity(root.get()).x);
}

void ReelhavenViewController::panLevels(double ty) {
    if (m_validPanBrightness == true && m_panBrightnessInitialValue) {
        const double offset = gesture_rules::deadZoneOffset(m_gestureDeadzoneOrigin, ty);
        const double level = gesture_rules::panLevel(*m_panBrightnessInitialValue, ty + offset, kBrightnessRange);
        if (gesture_rules::levelChangeApplies(level, m_lastBrightness, kBrightnessStep)) {
            m_lastBrightness = level;
            ui::Screen::main()->setBrightness(level);
        }
    }
    if (m_validPanVolume == true && m_panVolumeInitialValue) {
        const double offset = gesture_rules::deadZoneOffset(m_gestureDeadzoneOrigin, ty);
        const double level = gesture_rules::panLevel(*m_panVolumeInitialValue, ty + offset, kVolumeRange);
        if (gesture_rules::levelChangeApplies(level, m_lastVolume, kVolumeStep)) {
            m_lastVolume = level;
            setSystemVolume(level);
        }
    }
}

bool ReelhavenViewController::decidePan(ui::Point translation) {
    const double tx = std::abs(translation.x);
    const double ty = std::abs(translation.y);
    auto& settings = preferences();
    if (ty >= kDeadZone && tx <= kDeadZone) {
        auto start = static_cast<InitialPanGestureRecognizer&>(*m_panGestureRecognizer).initialTouchLocation();
        if (!start) return false;
        m_validPanSeek = false;
        const double width = view()->bounds().size.width;
        if (start->x >= (1 - kEdgeZone) * width) {
            m_validPanVolume = settings.volumeGestures.wrappedValue();
            if (*m_validPanVolume) m_panVolumeInitialValue = media::AudioSession::shared()->outputVolume();
        } else if (start->x <= kEdgeZone * width) {
            m_validPanBrightness = settings.brightnessGestures.wrappedValue();
            if (*m_validPanBrightness) m_panBrightnessInitialValue = ui::Screen::main()->brightness();
        }
        return false;  // the level follows from the next event on
    }
    if (tx <= kDeadZone) return false;  // undecided
    m_validPanSeek = settings.seekGestures.wrappedValue();
    if (!*m_validPanSeek) return false;
    m_playbackInfo->setIsPanSeeking(true);
    m_panSeekInitialTime = m_playbackInfo->progress();
    if (m_hideControls) {
        if (auto note = m_noteView.lock()) note->setHidden(false);
        if (auto title = m_titleView.lock()) {
            title->setHidden(true);
            title->layer().removeAllAnimations();
        }
    } else {
        showControls();
    }
    if (!m_playbackInfo->isPaused()) {
        setPaused(true, false);
        m_panSeekPaused = true;
    }
    return true;
}

void ReelhavenViewController::panSeek(double tx, double velocity) {
    auto duration = m_playbackInfo->duration();
    if (!m_panSeekInitialTime || !duration) return;
    const double initial = *m_panSeekInitialTime;
    const double offset = gesture_rules::deadZoneOffset(m_gestureDeadzoneOrigin, tx);
    const double seconds = (tx + offset) / kPointsPerSecond;
    const double target = initial + seconds;
    const double clamped = std::min(std::max(target, 0.0), *duration);
    if (auto controls = m_controlView.lock(); controls && !m_hideControls) {
        if (auto bar = controls->bottomControlView())
            bar->progressBar()->setValue(static_cast<float>(clamped / *duration * 100), true);
        controls->updateProgressLabels(clamped, *duration);
    }
    const double shown = target < 0 ? -initial : target > *duration ? *duration - initial : seconds;
    if (auto note = m_noteView.lock(); note && !note->isHidden()) {
        // Rounded half to even, as the labels round.
        note->update(shown, std::nearbyint(shown + m_playbackInfo->progress()), *duration);
    }
    auto flag = gesture_rules::panSeekFlag(seconds, m_lastPanSeek, velocity, *duration);
    if (!flag) return;
    m_lastPanSeek = seconds;
    seekCommand(MPVSession::decimal(clamped), *flag);
}

void ReelhavenViewController::endPan() {
    const bool seekPan = m_validPanSeek == true;
    if (seekPan) {
        auto duration = m_playbackInfo->duration();
        if (!m_lastPanSeek) {
            m_playbackInfo->setIsPanSeeking(false);
        } else if (m_panSeekInitialTime && duration) {
            // isPanSeeking stays until mpv restarts playback at this seek.
            m_playbackInfo->setProgress(std::min(std::max(*m_panSeekInitialTime + *m_lastPanSeek, 0.0), *duration));
        }
        m_panSeekInitialTime.reset();
        m_lastPanSeek.reset();
        if (m_panSeekPaused) {
            setPaused(false, false);
            m_panSeekPaused = false;
        }
        if (auto note = m_noteView.lock(); note && !note->isHidden()) {
            std::weak_ptr<NoteView> weakNote = note;
            ui::View::animate(
                kFadeDuration, 0, ui::allowUserInteraction, [note] { note->setAlpha(kFadedAlpha); },
                [weakNote](bool) {
                    if (auto faded = weakNote.lock()) {
                        faded->setHidden(true);
                        faded->setAlpha(1.0);
                    }
                });
        } else {
            scheduleHideControls(false);
        }
    } else if (m_validPanVolume == true) {
        m_panVolumeInitialValue.reset();
        m_lastVolume.reset();
    } else if (m_validPanBrightness == true) {
        m_panBrightnessInitialValue.reset();
        m_lastBrightness.reset();
    }
    m_validPanSeek.reset();
    m_validPanVolume.reset();
    m_validPanBrightness.reset();
    m_gestureDeadzoneOrigin.reset();
    // The restarts that came while the finger owned the labels were not shown: the clock's next
    // tick shows where the pan left the video.
    if (seekPan) wakeClock();
}

void ReelhavenViewController::setSystemVolume(double level) {
    // The system volume changes only through the volume view's slider.
    for (const auto& subview : m_volume->subviews()) {
        if (auto slider = std::dynamic_pointer_cast<ui::Slider>(subview)) {
            slider->setValue(static_cast<float>(level));
            return;
        }
    }
}

void ReelhavenViewController::togglePaused() { setPaused(!m_playbackInfo->isPaused(), true); }

bool ReelhavenViewController::usesThreeStepAspectLadder() {
    const auto bounds = view()->bounds();
    const auto insets = view()->safeAreaInsets();
    return gesture_rules::usesThreeStepLadder(m_playbackInfo->aspectRatio().value_or(0),
                                              bounds.size.width / bounds.size.height, insets.left, insets.right);
}

void ReelhavenViewController::pressesBegan(const std::vector<ui::Press>& presses) {
    if (presses.empty() || presses.front().key.keyCode == ui::Key::unknown) {
        ViewController::pressesBegan(presses);
        return;
    }
    struct Binding {
        int keyCode;
        std::optional<bool> shift;  // none: with or without
        void (*action)(ReelhavenViewController&);
    };
    static const Binding kBindings[] = {
        {ui::Key::rightArrow, true, [](ReelhavenViewController& p) { p.seekCommand("1", "relative+exact"); }},
        {ui::Key::rightArrow, false, [](ReelhavenViewController& p) { p.skipForward(); }},
        {ui::Key::leftArrow, true, [](ReelhavenViewController& p) { p.seekCommand("-1", "relative+exact"); }},
        {ui::Key::leftArrow, false, [](ReelhavenViewController& p) { p.skipBackward(); }},
        {ui::Key::spacebar, std::nullopt, [](ReelhavenViewController& p) { p.togglePaused(); }},
        {ui::Key::keypad0, std::nullopt, [](ReelhavenViewController& p) { p.togglePaused(); }},
    };
    const ui::Key& key = presses.front().key;
    const bool shift = (key.modifierFlags & ui::Key::shift) != 0;
    for (const auto& binding : kBindings) {
        if (binding.keyCode == key.keyCode && (!binding.shift || *binding.shift == shift)) {
            binding.action(*this);
            return;
        }
    }
    // Other keys do nothing and go no further.
}

void ReelhavenViewController::pressesEnded(const std::vector<ui::Press>& presses) {
    ViewController::pressesEnded(presses);
}

}  // namespace reelhaven
