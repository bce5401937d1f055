#include "playback/reelhaven_view_controller.h"

#include "controls/title_view.h"
#include "controls/video_control_view.h"
#include "controls/video_menu_popover_view_controller.h"
#include "core/documents_client.h"
#include "core/preferences.h"
#include "core/progress_client.h"
#include "output/external_display_view_controller.h"
#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/video_renderer.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/group.h"
#include "platform/dispatch/main_thread.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/timer.h"
#include "platform/dispatch/work_item.h"
#include "platform/dispatch/work_queue.h"
#include "platform/media/audio_session.h"
#include "platform/media/picture_in_picture_controller.h"
#include "platform/media/volume_view.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/controls/feedback_generator.h"
#include "platform/ui/scenes/application.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/device.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"
#include "playback/initial_pan_gesture_recognizer.h"
#include "playback/media_center_service.h"
#include "playback/reelhaven_storyboard.h"

namespace reelhaven {

std::shared_ptr<ReelhavenViewController> ReelhavenViewController::create(
    const ui::Coder& coder, PlaybackInfoPtr playbackInfo, std::shared_ptr<MediaCenterService> mediaCenterService) {
    if (coder.storyboard() != kStoryboardName || coder.identifier() != kStoryboardIdentifier)
        base::fatal("ReelhavenViewController is made only by the storyboard scene \"player\"");
    if (!playbackInfo) base::fatal("ReelhavenViewController needs a PlaybackInfo");
    auto player = std::shared_ptr<ReelhavenViewController>(
        new ReelhavenViewController(std::move(playbackInfo), std::move(mediaCenterService)));
    // As the scene is set up in the storyboard: the player covers the whole screen.
    player->setModalPresentationStyle(ui::ModalPresentationStyle::fullScreen);
    return player;
}

ReelhavenViewController::ReelhavenViewController(PlaybackInfoPtr playbackInfo,
                                                 std::shared_ptr<MediaCenterService> mediaCenterService)
    : m_playbackInfo(std::move(playbackInfo)),
      m_mediaCenterService(std::move(mediaCenterService)),
      m_lightHapticFeedbackGenerator(ui::FeedbackGenerator::impact(ui::FeedbackGenerator::ImpactStyle::light)),
      m_progressSaves(dispatch::Group::create()),
      m_hideStatusBarWorkItem(dispatch::WorkItem::create()),
      m_hideTitleViewWorkItem(dispatch::WorkItem::create()),
      m_volume(media::VolumeView::create()),
      m_pictureInPictureView(PictureInPictureView::create()) {}

// The mpv handle goes only through `close`: a player dropped without closing leaves its session
// to the session's own destructor.
ReelhavenViewController::~ReelhavenViewController() {
    for (auto token : m_observers) foundation::NotificationCenter::defaultCenter().removeObserver(token);
}

void ReelhavenViewController::setSessionOptions(MPVSession::Options options) {
    ui::checkMainThread();
    if (isViewLoaded()) base::fatal("the player's session options are set before its view loads");
    m_sessionOptions = std::move(options);
}

Preferences& ReelhavenViewController::preferences() const {
    return m_sessionOptions.preferences ? *m_sessionOptions.preferences : Preferences::shared();
}

bool ReelhavenViewController::isPictureInPictureActive() const {
    return m_pictureInPictureController && m_pictureInPictureController->isPictureInPictureActive().value();
}

bool ReelhavenViewController::isSecondScreenConnected() const {
    return ExternalDisplayViewController::current() != nullptr;
}

bool ReelhavenViewController::isSceneIn(ui::SceneActivationState state) const {
    auto window = isViewLoaded() ? const_cast<ReelhavenViewController*>(this)->view()->window() : nullptr;
    auto scene = window ? window->windowScene() : nullptr;
    return scene && scene->activationState() == state;
}

bool ReelhavenViewController::isSceneDisconnected() const { return isSceneIn(ui::SceneActivationState::unattached); }

bool ReelhavenViewController::isSceneInBackground() const { return isSceneIn(ui::SceneActivationState::background); }

void ReelhavenViewController::loadView() {
    m_interface = PlayerInterface::build();
    m_glkView = m_interface->glkView;
    m_metalView = m_interface->metalView;
    m_nowPlayingView = m_interface->nowPlayingView;
    m_controlView = m_interface->controlView;
    m_noteView = m_interface->noteView;
    m_titleView = m_interface->titleView;
    m_aspectFitConstraintWidth = m_interface->aspectFitConstraintWidth;
    m_aspectFitConstraintHeight = m_interface->aspectFitConstraintHeight;
    m_aspectFillConstraintWidth = m_interface->aspectFillConstraintWidth;
    m_aspectFillConstraintHeight = m_interface->aspectFillConstraintHeight;
    m_aspectRatioConstraint = m_interface->aspectRatioConstraint;
    setView(m_interface->root);
}

void ReelhavenViewController::addPictureInPictureView() {
    auto glk = m_glkView.lock();
    auto controls = m_controlView.lock();
    auto pip = m_pictureInPictureView;
    pip->setUserInteractionEnabled(false);
    pip->setTranslatesAutoresizingMaskIntoConstraints(false);
    view()->addSubview(pip);
    // The controls stay over the picture-in-picture view's layer.
    controls->layer().setZPosition(1.0);
    pip->setAlpha(0);
    ui::LayoutConstraint::activate({
        pip->leadingAnchor().constraint(glk->leadingAnchor()),
        pip->trailingAnchor().constraint(glk->trailingAnchor()),
        pip->topAnchor().constraint(glk->topAnchor()),
        pip->bottomAnchor().constraint(glk->bottomAnchor()),
    });
}

void ReelhavenViewController::viewDidLoad() {
    auto glk = m_glkView.lock();
    auto metal = m_metalView.lock();
    auto nowPlaying = m_nowPlayingView.lock();
    auto controls = m_controlView.lock();
    if (!glk || !metal || !nowPlaying || !controls || !m_noteView.lock() || !m_titleView.lock())
        base::fatal("ReelhavenViewController: an outlet of the player scene is not connected");
    if (ui::PlatformVersion::isAtLeast(15) && preferences().continueAudioBackground.wrappedValue())
        addPictureInPictureView();

    m_videoRenderer = VideoRenderer::create(glk, metal, m_pictureInPictureView, nowPlaying, m_playbackInfo,
                                            m_sessionOptions.preferences);
    m_videoRenderer->controlDelegate = self();
    m_videoRenderer->optionsDelegate = self();
    glk->layoutDelegate = self();

    // mpv writes screenshots where the player looks for them.
    if (!m_sessionOptions.documentsClient)
        m_sessionOptions.documentsClient = DocumentsClient::create(m_sessionOptions.preferences);
    m_session = MPVSession::create(m_playbackInfo, m_sessionOptions);
    wireSession();
    // Frees the render context before the handle, whether or not the renderer is still there.
    m_session->onWillDestroyHandle = m_videoRenderer->renderContextReleaser();
    m_session->setup();
    if (m_session->mpv()) m_pictureInPictureController = m_videoRenderer->start(m_session->mpv());

    setupGestures();
    activateMediaCenter();
    startPlayback();

    controls->setDelegate(self());
    controls->setPlaybackInfo(m_playbackInfo);
    controls->setHidden(true);
    setupControlActions();

    setUpLandscape();

    if (auto style = progressLabelStyleFromRawValue(preferences().progressLabelStyle.wrappedValue())) {
        controls->setProgressLabelStyle(*style);
        if (auto delegate = controls->delegate()) delegate->updateProgressLabelWidths();
    }
    startTimers();
    restoreContentModeAndAspect();

    auto& center = foundation::NotificationCenter::defaultCenter();
    m_observers.push_back(center.addObserver(kExternalDisplayReady, nullptr, [weak = weakSelf()](const auto&) {
        dispatch::Queue::main()->async([weak] {
            if (auto self = weak.lock()) self->displayConnected();
        });
    }));
    m_observers.push_back(center.addObserver(media::kInterruptionNotification, media::AudioSession::shared().get(),
                                             [weak = weakSelf()](const foundation::Notification& notification) {
                                                 if (auto self = weak.lock()) self->audioInterruption(notification);
                                             }));
    observePictureInPicture();
}

void ReelhavenViewController::startPlayback() {
    // The title panel names the video about to load: the next one of the folder shows its own.
    if (auto title = m_titleView.lock()) {
        if (auto label = title->titleLabel()) label->setText(m_playbackInfo->title());
    }
    m_session->startPlayback(m_playbackInfo);
    wakeClock();
}

void ReelhavenViewController::activateMediaCenter() {
    if (!m_mediaCenterService) return;
    m_mediaCenterService->setDelegate(self());
    m_mediaCenterService->activate();
    m_mediaCenterService->updateNowPlayingInfo(*m_playbackInfo);
}

void ReelhavenViewController::updateNowPlayingInfo() {
    // Only while the service serves this player: mpv's last playback restart may reach the main
    // queue after the player closed, and must not put its video back over the program's name.
    if (m_mediaCenterService && m_mediaCenterService->delegate().get() == static_cast<VideoControlDelegate*>(this))
        m_mediaCenterService->updateNowPlayingInfo(*m_playbackInfo);
}

void ReelhavenViewController::observePictureInPicture() {
    if (!m_pictureInPictureController) return;
    bool first = true;
    m_cancellables.push_back(
        m_pictureInPictureController->isPictureInPictureActive().sink([weak = weakSelf(), first](bool active) mutable {
            if (std::exchange(first, false)) return;
            auto self = weak.lock();
            if (!self) return;
            self->m_relativeSubtitlePosition = active ? false : !self->m_hideControls;
            self->updateSubtitlePosition();
            if (active) return;
            auto window = self->view()->window();
            auto scene = window ? window->windowScene() : nullptr;
            // Picture in picture ended while the program is in the background.
            if (!scene || scene->activationState() != ui::SceneActivationState::foregroundActive)
                self->enterBackground();
        }));
}

void ReelhavenViewController::wireSession() {
    std::weak_ptr<ReelhavenViewController> weak = self();
    m_session->onShutdown = [weak] {
        if (auto self = weak.lock()) self->invalidateTimers();
    };
    m_session->onStartFile = [weak] {
        if (auto self = weak.lock()) self->m_changedVideo = false;
    };
    m_session->onEndFile = [weak](EndFileAction action, EndFileEvent) {
        if (auto self = weak.lock()) self->fileEnded(action);
    };
    m_session->onFileLoaded = [weak](const PlaybackInfoPtr& info) {
        auto self = weak.lock();
        if (!self) return;
        if (info->isRestored()) {
            // A restored player comes back paused, with its controls as the user left them.
            self->setPaused(true, true);
            self->setHideControls(info->hideControls());
            if (!self->hideControls()) self->showControls();
        }
        if (self->m_videoRenderer) self->m_videoRenderer->updatePlaybackInfo(info);
        // The window asks again for the new file's time range and play state.
        if (ui::PlatformVersion::isAtLeast(15) && self->m_pictureInPictureController)
            self->m_pictureInPictureController->invalidatePlaybackState();
        // Again once loaded: the duration is known now, and the record may be a new video's.
        self->offerUserActivity();
        if (auto menu = std::dynamic_pointer_cast<VideoMenuPopoverViewController>(self->presentedViewController()))
            menu->setPlaybackInfo(info);
        if (info->videoTracks().empty()) self->fileHasNoPicture();
    };
    m_session->onPlaybackRestart = [weak] {
        if (auto self = weak.lock()) self->playbackRestarted();
    };
    m_session->onPauseChanged = [weak](bool paused) {
        auto self = weak.lock();
        if (!self) return;
        self->m_mpvPaused = paused;
        if (!paused) return self->wakeClock();
        // mpv has stopped: the position it shows now is the one to rest at.
        if (self->clockMayRest()) self->syncUITime();
        self->restClockIfSettled();
    };
    m_session->onAspectChanged = [weak](std::optional<double> aspect, std::optional<double> rotate) {
        auto self = weak.lock();
        if (!self) return;
        self->updateAspectRatioConstraint(std::nullopt, aspect, rotate);
    };
    m_session->afterAspectChanged = [weak] {
        auto self = weak.lock();
        if (!self) return;
        self->updatePictureInPictureSize();
        // Runs on the command queue: should the player have been closed meanwhile, this is its
        // last holder, and a player is torn down on the main queue, not here.
        dispatch::Queue::main()->async([self = std::move(self)] {});
    };
    m_session->onDurationChanged = [weak] {
        if (auto self = weak.lock()) self->updateProgressLabelWidths();
    };
    m_session->onHDRMetadata = [weak](std::optional<HDRMetadata> metadata) {
        auto self = weak.lock();
        if (self && self->m_videoRenderer) self->m_videoRenderer->setHDRMetadata(std::move(metadata));
    };
    m_session->onScreenshotReply = [weak](int error) {
        if (auto self = weak.lock()) self->saveScreenshots(error);
    };
}

void ReelhavenViewController::playbackRestarted() {
    // The labels and the slider show the new position at once, not at the timer's next beat.
    syncUITime();
    if (ui::PlatformVersion::isAtLeast(15) && isPictureInPictureActive())
        m_pictureInPictureController->invalidatePlaybackState();
    updateNowPlayingInfo();
    restClockIfSettled();
}

void ReelhavenViewController::fileEnded(EndFileAction action) {
    switch (action) {
        case EndFileAction::none: return;
        case EndFileAction::playNext: playNextVideo(); return;
        case EndFileAction::closeFinished: close(true); return;
        case EndFileAction::closeUnfinished:
            // A file that cannot be played is no video watched to its end.
            close(false);
            return;
    }
}

void ReelhavenViewController::restoreContentModeAndAspect() {
    if (auto mode = m_playbackInfo->contentMode()) {
        applyContentMode(*mode);
        updateSubtitlePosition();
        m_playbackInfo->setContentMode(*mode);
        m_contentMode = *mode;
    }
    if (auto ratio = m_playbackInfo->aspectRatio()) updateAspectRatioConstraint(ratio, std::nullopt, std::nullopt);
}

void ReelhavenViewController::setSceneTitle(const std::string& title) {
    auto window = view()->window();
    if (auto scene = window ? window->windowScene() : nullptr) scene->setTitle(title);
}

void ReelhavenViewController::offerUserActivity() {
    if (!ui::PlatformVersion::isAtLeast(15)) return;
    auto window = view()->window();
    if (auto scene = window ? window->windowScene() : nullptr) scene->setUserActivity(m_playbackInfo->userActivity());
}

void ReelhavenViewController::viewWillAppear(bool animated) {
    ViewController::viewWillAppear(animated);
    ui::View::animate(0.3, 0, ui::allowUserInteraction, [weak = weakSelf()] {
        auto self = weak.lock();
        if (!self) return;
        self->m_hideStatusBar = true;
        self->setNeedsStatusBarAppearanceUpdate();
    });
}

void ReelhavenViewController::viewDidAppear(bool animated) {
    ViewController::viewDidAppear(animated);
    ui::Application::shared().setIdleTimerDisabled(true);
    setSceneTitle(m_playbackInfo->name());
    // Offered from the start, not only when the controls change: a player the user never
    // touches is still brought back when the app stops.
    offerUserActivity();
    if (ui::PlatformVersion::isAtLeast(16) && preferences().preferLandscape.wrappedValue()) {
        dispatch::Queue::main()->async([weak = weakSelf()] {
            auto self = weak.lock();
            if (!self) return;
            self->m_shouldLockOrientation = true;
            self->setNeedsUpdateOfSupportedInterfaceOrientations();
        });
    }
}

void ReelhavenViewController::viewWillDisappear(bool animated) {
    ViewController::viewWillDisappear(animated);
    // Closing the player writes the file as well as the record: a process that ends before the
    // next periodic commit must not lose where the user stopped.
    saveInBackground([info = m_playbackInfo] {
        info->saveProgress();
        if (auto client = info->progressClient()) client->save();
    });
    ui::Application::shared().setIdleTimerDisabled(false);
    setSceneTitle("");
    if (auto external = ExternalDisplayViewController::current()) external->showPlaceholder();
}

void ReelhavenViewController::viewWillTransition(ui::Size size, ui::TransitionCoordinator& coordinator) {
    ViewController::viewWillTransition(size, coordinator);
    // An open popover closes on rotation; a picker presented from a popover keeps it.
    if (auto presented = presentedViewController(); presented && !presented->presentedViewController())
        presented->dismiss(false);
    m_hideStatusBar = m_hideControls;
    setNeedsStatusBarAppearanceUpdate();
    std::weak_ptr<ReelhavenViewController> weak = self();
    coordinator.animateAlongside(
        [weak] {
            if (auto self = weak.lock()) self->applyContentMode(self->m_contentMode);
        },
        [weak] {
            auto self = weak.lock();
            if (!self) return;
            auto window = self->view()->window();
            auto scene = window ? window->windowScene() : nullptr;
            if (ui::Device::current().userInterfaceIdiom() == ui::UserInterfaceIdiom::phone && scene &&
                ui::isLandscape(scene->interfaceOrientation()))
                self->m_hideStatusBarWorkItem->cancel();
            self->setNeedsStatusBarAppearanceUpdate();
        });
}

void ReelhavenViewController::playNextVideo() {
    auto next = m_playbackInfo->nextVideo();
    if (!next) {
        close(true);
        return;
    }
    m_playbackInfo->saveFinished();
    m_playbackInfo = std::move(next);
    if (auto controls = m_controlView.lock()) controls->setPlaybackInfo(m_playbackInfo);
    startPlayback();
    restoreContentModeAndAspect();
    if (!showOnNowPlayingView()) showTitleView();
    setSceneTitle(m_playbackInfo->name());
}

bool ReelhavenViewController::showOnNowPlayingView() {
    if (!isSecondScreenConnected()) return false;
    if (auto nowPlaying = m_nowPlayingView.lock()) {
        nowPlaying->video = m_playbackInfo->video();
        nowPlaying->update();
    }
    return true;
}

void ReelhavenViewController::switchToVideo(const std::shared_ptr<Video>& video) {
    m_changedVideo = true;
    m_session->setChangedVideo(true);
    saveProgress();
    m_playbackInfo = m_playbackInfo->forVideo(video);
    if (auto controls = m_controlView.lock()) controls->setPlaybackInfo(m_playbackInfo);
    startPlayback();
    restoreContentModeAndAspect();
    showOnNowPlayingView();
    setSceneTitle(m_playbackInfo->name());
    setPaused(false, true);
}

void ReelhavenViewController::close(bool finished) {
    for (auto token : m_observers) foundation::NotificationCenter::defaultCenter().removeObserver(token);
    m_observers.clear();
    invalidateTimers();
    if (finished) {
        m_playbackInfo->setProgress(0);
        m_playbackInfo->setIsFinished(true);
    }
    destroyMPV();
    dispatch::Queue::main()->async([weak = weakSelf()] {
        if (auto self = weak.lock()) self->dismissPlayer();
    });
}

void ReelhavenViewController::destroyMPV() {
    if (!m_session) return;
    // Silences the handle before it goes: the volume to 0 and the last audio track, after every
    // command already queued; the teardown then frees the render context before the handle.
    const auto tracks = m_playbackInfo->audioTracks();
    m_session->setIntProperty("volume", 0);
    m_session->setIntProperty("aid", tracks.empty() ? 0 : tracks.back().id);
    m_session->commandQueue()->async([session = m_session] { session->teardown(); });
}

void ReelhavenViewController::dismissPlayer() {
    if (ui::PlatformVersion::isAtLeast(15)) {
        auto window = view()->window();
        if (auto scene = window ? window->windowScene() : nullptr) scene->setUserActivity(nullptr);
    }
    if (auto controls = m_controlView.lock()) controls->layer().removeAllAnimations();
    if (presentedViewController()) dismiss(false);
    if (m_mediaCenterService) {
        m_mediaCenterService->setDelegate(nullptr);
        m_mediaCenterService->deactivate();
    }
    // A scene that is gone shows nothing: the player goes at once, not after an animation nobody
    // sees (the app quitting waits for it).
    const bool animated = !isSceneDisconnected();
    if (ui::PlatformVersion::isAtLeast(16) && preferences().preferLandscape.wrappedValue()) {
        m_shouldLockOrientation = false;
        setNeedsUpdateOfSupportedInterfaceOrientations();
        dispatch::Queue::main()->async([weak = weakSelf(), animated] {
            if (auto self = weak.lock()) self->dismiss(animated);
        });
        return;
    }
    std::weak_ptr<ReelhavenViewController> weak = self();
    dismiss(animated, [weak] {
        if (auto self = weak.lock()) self->restoreOrientation();
    });
}

mpv_handle* ReelhavenViewController::mpv() const { return m_session ? m_session->mpv() : nullptr; }

// An option set while the clock rests (a popover over a paused video) wakes it, so its next tick
// saves what was chosen and lets it rest again. The renderer's colour writes come from the render
// queue and are nothing the progress keeps.
void ReelhavenViewController::optionSet() {
    if (dispatch::isMainThread()) wakeClock();
}

void ReelhavenViewController::setFlagProperty(const std::string& name, bool value) {
    if (m_session) m_session->setFlagProperty(name, value);
    optionSet();
}

void ReelhavenViewController::setIntProperty(const std::string& name, std::int64_t value) {
    if (m_session) m_session->setIntProperty(name, value);
    optionSet();
}

void ReelhavenViewController::setDoubleProperty(const std::string& name, double value) {
    if (m_session) m_session->setDoubleProperty(name, value);
    optionSet();
}

void ReelhavenViewController::setStringProperty(const std::string& name, const std::string& value) {
    if (m_session) m_session->setStringProperty(name, value);
    optionSet();
}

void ReelhavenViewController::setHighQualityVideo(bool on) {
    if (m_session) m_session->setHighQualityVideo(on);
    optionSet();
}

void ReelhavenViewController::updateSubtitleFont() {
    if (m_session) m_session->updateSubtitleFont();
    optionSet();
}

void ReelhavenViewController::selectTrack(const Track& track) {
    if (m_session) m_session->selectTrack(track);
    optionSet();
}

void ReelhavenViewController::videoViewDidLayoutSubviews() {
    updateSubtitlePosition();
    if (m_playbackInfo->isPaused() && m_videoRenderer) m_videoRenderer->redraw();
}

}  // namespace reelhaven
