#include <algorithm>
#include <cmath>

#include "controls/audio_subtitle_popover_view_controller.h"
#include "controls/bottom_control_view.h"
#include "controls/options_popover_view_controller.h"
#include "controls/top_control_view.h"
#include "controls/video_control_view.h"
#include "controls/video_menu_popover_view_controller.h"
#include "core/preferences.h"
#include "output/picture_in_picture_view.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "platform/media/picture_in_picture_controller.h"
#include "platform/ui/controls/control.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/views/platform_version.h"
#include "playback/media_center_service.h"
#include "playback/reelhaven_view_controller.h"
#include "toolkit/transparent_popover_background_down.h"
#include "toolkit/transparent_popover_background_up.h"

namespace reelhaven {

namespace {

// The least normal double: a margin that is practically none but not "unset".
constexpr double kLeastNormalMargin = 2.2250738585072014e-308;

}  // namespace

void ReelhavenViewController::seekCommand(const std::string& target, const std::string& flag) {
    if (!m_session) return;
    // Paused too, the clock follows the seek until its playback restart.
    wakeClock();
    m_session->seek(target, flag);
}

void ReelhavenViewController::setPaused(bool paused, bool updateUI) {
    const bool pictureInPicture = isPictureInPictureActive();
    if (paused) {
        if (updateUI && !pictureInPicture && isSceneInBackground()) m_session->disableAudioTrack();
        m_playbackInfo->setIsPaused(true);
        if (m_mediaCenterService) m_mediaCenterService->setMediaCenterPaused(false);
    } else {
        if (updateUI) m_session->restoreAudioTrack();
        if (!pictureInPicture && !isSecondScreenConnected() && isSceneInBackground() && !m_pausedFromBackground)
            m_session->disableVideoTrack();
        m_playbackInfo->setIsPaused(false);
        wakeClock();
    }
    if (updateUI) {
        // Hidden while paused, so the system offers no picture in picture for a still picture.
        if (ui::PlatformVersion::isAtLeast(15) && !pictureInPicture) m_pictureInPictureView->setHidden(paused);
        syncUITime();
        if (m_pictureInPictureController) m_pictureInPictureController->invalidatePlaybackState();
        if (auto controls = m_controlView.lock()) paused ? controls->showPaused() : controls->showPlaying();
    }
    m_session->setFlagProperty("pause", paused);
    if (!paused) {
        if (pictureInPicture) m_session->enableVideoTrack();
        m_pausedFromAudioInterruption = false;
    }
    ui::Application::shared().setIdleTimerDisabled(!paused);
    updateNowPlayingInfo();
}

void ReelhavenViewController::seekBy(double seconds) { seekCommand(MPVSession::decimal(seconds), "relative"); }

void ReelhavenViewController::seekTo(double seconds) { seekCommand(MPVSession::decimal(seconds), "absolute"); }

int ReelhavenViewController::skipInterval(const std::string& setting) {
    if (setting == "5") return 5;
    if (setting == "15") return 15;
    if (setting == "30") return 30;
    return 10;
}

void ReelhavenViewController::skipForward() {
    seekCommand(std::to_string(skipInterval(preferences().skipInterval.wrappedValue())), "relative");
}

void ReelhavenViewController::skipBackward() {
    seekCommand(std::to_string(-skipInterval(preferences().skipInterval.wrappedValue())), "relative");
}

void ReelhavenViewController::selectChapter(int index) { setIntProperty("chapter", index); }

const char* ReelhavenViewController::sliderSeekFlag(double duration, float scrubbingSpeed) {
    if (duration < 300 || scrubbingSpeed <= 0.1f) return "absolute-percent+exact";
    return "absolute-percent";
}

double ReelhavenViewController::sliderSeekTarget(double value, double duration) {
    return std::min(std::max(value, 0.0), (duration - 1) / duration * 100);
}

void ReelhavenViewController::setupControlActions() {
    auto controls = m_controlView.lock();
    auto slider = controls ? controls->bottomControlView()->progressBar() : nullptr;
    if (!slider) return;
    std::weak_ptr<ReelhavenViewController> weak = self();
    auto bind = [&](void (ReelhavenViewController::*action)(ui::Control&), std::uint32_t events) {
        slider->addTarget(
            self(),
            [weak, action](ui::Control& sender) {
                if (auto self = weak.lock()) ((*self).*action)(sender);
            },
            events);
    };
    bind(&ReelhavenViewController::touchDown, ui::touchDown);
    bind(&ReelhavenViewController::touchUpOutside, ui::touchUpOutside);
    bind(&ReelhavenViewController::touchUpInside, ui::touchUpInside);
    bind(&ReelhavenViewController::touchCancel, ui::touchCancel);
    bind(&ReelhavenViewController::progressBarChanged, ui::valueChanged);
}

void ReelhavenViewController::touchDown(ui::Control&) {
    showControls();
    if (m_playbackInfo->isPaused()) return;
    setPaused(true, false);
    m_barSeekPaused = true;
    m_lastBarSeek.reset();
}

void ReelhavenViewController::progressBarChanged(ui::Control& sender) {
    auto& slider = static_cast<DetailScrubber&>(sender);
    const auto duration = m_playbackInfo->duration();
    if (!duration) return;
    const double D = *duration;
    const double value = slider.value();
    // A change the finger did not make (the timer's own animation).
    if (!m_lastBarSeek && std::abs(m_playbackInfo->progress() * 100 / D - value) <= 0.1) return;
    if (auto controls = m_controlView.lock()) controls->updateProgressLabels(value / 100 * D, D);
    const float speed = slider.currentSpeed();
    if (m_lastBarSeek && speed == 1.0f) {
        const double step = 1000 / D;
        const double delta = std::abs(*m_lastBarSeek - value);
        if (step < 1 ? delta < step : delta < 1) return;
    }
    const double target = sliderSeekTarget(value, D);
    m_playbackInfo->setIsSeeking(true);
    seekCommand(MPVSession::decimal(target), sliderSeekFlag(D, speed));
    m_lastSliderSpeed = speed;
    m_lastBarSeek = target;
}

void ReelhavenViewController::finalBarSeek(ui::Control& sender) {
    const auto duration = m_playbackInfo->duration();
    if (!m_lastBarSeek || !duration) return;
    const double target = sliderSeekTarget(static_cast<ui::Slider&>(sender).value(), *duration);
    m_playbackInfo->setProgress(*duration * target / 100);
    seekCommand(MPVSession::decimal(target), sliderSeekFlag(*duration, m_lastSliderSpeed));
}

void ReelhavenViewController::resumeAfterBarSeek() {
    setPaused(false, false);
    m_barSeekPaused = false;
    m_lastBarSeek.reset();
}

void ReelhavenViewController::touchUpInside(ui::Control& sender) {
    finalBarSeek(sender);
    if (!m_barSeekPaused) return;
    scheduleHideControls(true);
    resumeAfterBarSeek();
}

void ReelhavenViewController::touchUpOutside(ui::Control& sender) { touchUpInside(sender); }

void ReelhavenViewController::touchCancel(ui::Control& sender) {
    finalBarSeek(sender);
    scheduleHideControls(true);
    if (m_barSeekPaused) resumeAfterBarSeek();
}

std::optional<ui::ModalPresentationStyle> ReelhavenViewController::adaptivePresentationStyle(
    ui::PopoverPresentationController&, const ui::TraitCollection&) {
    return ui::ModalPresentationStyle::none;
}

bool ReelhavenViewController::dismissPresentedPopover() {
    if (!presentedViewController()) return false;
    dismiss(true, [weak = weakSelf()] {
        if (auto self = weak.lock()) self->scheduleHideControls(false);
    });
    return true;
}

std::optional<double> ReelhavenViewController::popoverMaxHeight() const {
    auto controls = m_controlView.lock();
    if (!controls) return std::nullopt;
    const auto top = controls->topControlView()->frame();
    const auto bottom = controls->bottomControlView()->frame();
    return (bottom.minY() - top.minY()) - top.size.height - 14;
}

void ReelhavenViewController::presentPopover(const std::shared_ptr<ui::ViewController>& popover,
                                             const std::shared_ptr<ui::View>& anchor, const ui::Rect& sourceRect,
                                             bool arrowDown) {
    auto controls = m_controlView.lock();
    popover->setModalPresentationStyle(ui::ModalPresentationStyle::popover);
    auto presentation = popover->popoverPresentationController();
    presentation->setDelegate(self());
    presentation->setPassthroughViews(
        {controls->topControlView(), controls->bottomControlView(), std::weak_ptr<ui::View>(view())});
    presentation->setSourceView(anchor);
    presentation->setSourceRect(sourceRect);
    presentation->setCanOverlapSourceViewRect(false);
    presentation->setPermittedArrowDirections(arrowDown ? ui::popoverArrowDown : ui::popoverArrowUp);
    if (arrowDown)
        TransparentPopoverBackgroundDown::install(*presentation);
    else
        TransparentPopoverBackgroundUp::install(*presentation);
    present(popover, true);
}

namespace {
bool regularHeightCompactWidth(const ui::TraitCollection& traits) {
    return traits.verticalSizeClass == ui::UserInterfaceSizeClass::regular &&
           traits.horizontalSizeClass == ui::UserInterfaceSizeClass::compact;
}
}  // namespace

void ReelhavenViewController::showAudioSubtitlePopover() {
    if (dismissPresentedPopover()) return;
    showControls();
    auto popover = AudioSubtitlePopoverViewController::create();
    popover->setPlaybackInfo(m_playbackInfo);
    popover->setOptionsDelegate(self());
    popover->setMaxHeight(popoverMaxHeight());
    auto button = m_controlView.lock()->bottomControlView()->audioSubtitlesButton();
    auto rect = button->bounds().offsetBy(130, regularHeightCompactWidth(traitCollection()) ? -55 : 0);
    presentPopover(popover, button, rect, true);
    auto presentation = popover->popoverPresentationController();
    presentation->setBackgroundColor(ui::Color::clear());
    presentation->setPopoverLayoutMargins({0, 0, 0, 10});
}

void ReelhavenViewController::showOptionsPopover() {
    if (dismissPresentedPopover()) return;
    showControls();
    auto present = [weak = weakSelf()](std::optional<bool> interlaced) {
        auto self = weak.lock();
        if (!self) return;
        auto popover = OptionsPopoverViewController::create();
        popover->setPlaybackInfo(self->m_playbackInfo);
        popover->setOptionsDelegate(self);
        // The deinterlacing row stays for a video whose choice was saved.
        popover->setIsInterlaced(interlaced == true || self->m_playbackInfo->deinterlace().has_value());
        popover->setMaxHeight(self->popoverMaxHeight());
        auto button = self->m_controlView.lock()->bottomControlView()->optionsButton();
        const bool narrow = regularHeightCompactWidth(self->traitCollection());
        auto rect = button->bounds().offsetBy(narrow ? 130 : 150, narrow ? -55 : 0);
        self->presentPopover(popover, button, rect, true);
        popover->popoverPresentationController()->setPopoverLayoutMargins({0, 10, 0, 10});
    };
    m_session->commandQueue()->async([session = m_session, present] {
        auto interlaced = session->mpv() ? session->flagProperty("video-frame-info/interlaced") : std::nullopt;
        dispatch::Queue::main()->async([present, interlaced] { present(interlaced); });
    });
}

void ReelhavenViewController::showVideoMenuPopover() {
    if (dismissPresentedPopover()) return;
    showControls();
    auto popover = VideoMenuPopoverViewController::create();
    popover->setPlaybackInfo(m_playbackInfo);
    popover->setVideoManager(m_playbackInfo->videoManager());
    popover->setVideoControlDelegate(self());
    popover->setScreenshotHandler([weak = weakSelf()](bool withSubtitles) {
        if (auto self = weak.lock()) self->takeScreenshot(withSubtitles);
    });
    popover->setMaxHeight(popoverMaxHeight());
    auto button = m_controlView.lock()->topControlView()->videoMenuButtonView()->button();
    presentPopover(popover, button, button->bounds(), false);
    const double right = view()->bounds().size.width == 320 ? kLeastNormalMargin : 10;
    popover->popoverPresentationController()->setPopoverLayoutMargins({0, 0, 0, right});
}

}  // namespace reelhaven
