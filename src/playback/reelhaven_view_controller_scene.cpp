// The player following its scene: background and foreground, audio interruptions, a second
// screen arriving, the status bar and the interface orientations.

#include "core/preferences.h"
#include "output/video_renderer.h"
#include "platform/dispatch/sleep.h"
#include "platform/dispatch/timer.h"
#include "platform/media/audio_session.h"
#include "platform/media/picture_in_picture_controller.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

bool ReelhavenViewController::prefersStatusBarHidden() const {
    if (ui::Device::current().userInterfaceIdiom() == ui::UserInterfaceIdiom::phone && isViewLoaded()) {
        auto window = const_cast<ReelhavenViewController*>(this)->view()->window();
        auto scene = window ? window->windowScene() : nullptr;
        if (scene && ui::isLandscape(scene->interfaceOrientation())) return true;
    }
    return m_hideStatusBar;
}

unsigned ReelhavenViewController::supportedInterfaceOrientations() const {
    const bool preferLandscape = preferences().preferLandscape.wrappedValue();
    if (ui::PlatformVersion::isAtLeast(16))
        return preferLandscape && m_shouldLockOrientation ? ui::orientationMaskLandscape
                                                          : ui::orientationMaskAllButUpsideDown;
    return preferLandscape ? ui::orientationMaskLandscape : ui::orientationMaskAllButUpsideDown;
}

void ReelhavenViewController::invalidateTimers() {
    m_clockStopped = true;
    for (const auto& timer : {m_syncPlayTimeTimer, m_saveProgressTimer, m_commitProgressTimer})
        if (timer) timer->invalidate();
}

void ReelhavenViewController::enterBackground() {
    const bool paused = m_playbackInfo->isPaused();
    const bool pictureInPicture = isPictureInPictureActive();
    const bool secondScreen = isSecondScreenConnected();
    if (!pictureInPicture && paused && !secondScreen) {
        m_session->disableVideoTrack();
        m_session->disableAudioTrack();
    }
    invalidateTimers();
    const auto audioTracks = m_playbackInfo->audioTracks();
    const bool enteringPiP = m_videoRenderer && m_videoRenderer->isEnteringPiP();
    if (audioTracks.size() < 2 || m_playbackInfo->activeAudioTrack().id == -1 ||
        (!paused && !pictureInPicture && !enteringPiP && !secondScreen)) {
        m_session->disableVideoTrack();
        dispatch::sleepFor(0.5);
    }
    if (!preferences().continueAudioBackground.wrappedValue() && !m_playbackInfo->isPaused()) {
        setPaused(true, true);
        m_pausedFromBackground = true;
    }
    if (!m_hideControls) showControls();
    m_playbackInfo->saveProgress();
}

void ReelhavenViewController::enterForeground() {
    if (!media::AudioSession::shared()->secondaryAudioShouldBeSilencedHint()) m_session->restoreAudioTrack();
    m_session->enableVideoTrack();
    startTimers();
    activateMediaCenter();
    if (!preferences().continueAudioBackground.wrappedValue() && m_pausedFromBackground) {
        setPaused(false, true);
        m_pausedFromBackground = false;
    }
    if (!m_hideControls && !m_playbackInfo->isPaused()) scheduleHideControls(false);
    if (isPictureInPictureActive()) return;
    if (m_playbackInfo->isPaused()) dispatch::sleepFor(0.3);
}

void ReelhavenViewController::displayConnected() {
    // Asks with no ratio, aspect or rotation, which keeps the constraint as it is.
    updateAspectRatioConstraint(std::nullopt, std::nullopt, std::nullopt);
}

void ReelhavenViewController::audioInterruption(const foundation::Notification& notification) {
    const auto found = notification.userInfo.find(media::kInterruptionTypeKey);
    if (found == notification.userInfo.end()) return;
    const auto* type = std::any_cast<std::uint64_t>(&found->second);
    if (!type) return;
    if (*type == static_cast<std::uint64_t>(media::InterruptionType::began)) {
        if (isSceneInBackground()) m_session->disableVideoTrack();
        if (!m_playbackInfo->isPaused()) m_pausedFromAudioInterruption = true;
        setPaused(true, true);
    } else if (*type == static_cast<std::uint64_t>(media::InterruptionType::ended)) {
        const auto option = notification.userInfo.find(media::kInterruptionOptionKey);
        if (option == notification.userInfo.end()) return;
        const auto* options = std::any_cast<std::uint64_t>(&option->second);
        if (options && (*options & media::kInterruptionOptionShouldResume) && m_pausedFromAudioInterruption)
            setPaused(false, true);
    }
}

namespace {

// The first window of the application, in the order its scenes connected.
std::shared_ptr<ui::Window> firstApplicationWindow() {
    for (const auto& scene : ui::Application::shared().connectedScenes())
        for (const auto& window : scene->windows())
            if (window) return window;
    return nullptr;
}

// The device orientation that shows an interface orientation (the landscape sides mirrored).
ui::DeviceOrientation deviceOrientation(ui::InterfaceOrientation orientation) {
    switch (orientation) {
        case ui::InterfaceOrientation::landscapeLeft: return ui::DeviceOrientation::landscapeRight;
        case ui::InterfaceOrientation::landscapeRight: return ui::DeviceOrientation::landscapeLeft;
        case ui::InterfaceOrientation::portraitUpsideDown: return ui::DeviceOrientation::portraitUpsideDown;
        case ui::InterfaceOrientation::portrait:
        case ui::InterfaceOrientation::unknown: return ui::DeviceOrientation::portrait;
    }
    return ui::DeviceOrientation::portrait;
}

}  // namespace

void ReelhavenViewController::setUpLandscape() {
    // Before 16 the player turns the device itself, and turns it back when it closes.
    if (!ui::PlatformVersion::isAtLeast(16) && preferences().preferLandscape.wrappedValue()) {
        auto window = firstApplicationWindow();
        if (auto scene = window ? window->windowScene() : nullptr) {
            m_previousOrientation = scene->interfaceOrientation();
            ui::Device::current().setOrientation(m_previousOrientation == ui::InterfaceOrientation::landscapeLeft
                                                     ? ui::DeviceOrientation::landscapeRight
                                                     : ui::DeviceOrientation::landscapeLeft);
        }
    }
    bool first = true;
    m_cancellables.push_back(
        preferences().preferLandscape.publisher().sink([weak = weakSelf(), first](bool lock) mutable {
            if (std::exchange(first, false)) return;
            if (auto self = weak.lock()) self->m_shouldLockOrientation = lock;
        }));
}

void ReelhavenViewController::restoreOrientation() {
    if (!m_previousOrientation || !preferences().preferLandscape.wrappedValue()) return;
    const auto wanted = deviceOrientation(*m_previousOrientation);
    if (ui::Device::current().orientation() != wanted) ui::Device::current().setOrientation(wanted);
}

}  // namespace reelhaven
