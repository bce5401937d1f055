#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/content_mode.h"
#include "platform/foundation/cancellable.h"
#include "platform/foundation/error.h"
#include "platform/foundation/notification_center.h"
#include "platform/ui/controllers/popover_presentation_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/gestures/gesture_recognizer_delegate.h"
#include "platform/ui/scenes/scene_types.h"
#include "platform/ui/views/interface_orientation.h"
#include "playback/end_file_action.h"
#include "playback/model/mpv_options_delegate.h"
#include "playback/model/playback_info.h"
#include "playback/model/player_screen.h"
#include "playback/model/video_control_delegate.h"
#include "playback/model/video_layout_delegate.h"
#include "playback/mpv_session.h"

namespace dispatch {
class Group;
class Timer;
class WorkItem;
}  // namespace dispatch
namespace media {
class PictureInPictureController;
class VolumeView;
}  // namespace media
namespace ui {
class Coder;
class Control;
class FeedbackGenerator;
class LayoutConstraint;
class PanGestureRecognizer;
class PinchGestureRecognizer;
class TapGestureRecognizer;
class GestureRecognizer;
class Slider;
}  // namespace ui

namespace reelhaven {

class InitialPanGestureRecognizer;
class MediaCenterService;
class MetalHDRView;
class MPVGLKView;
class NoteView;
class NowPlayingView;
class PictureInPictureView;
class TitleView;
class VideoControlView;
class VideoRenderer;
struct PlayerInterface;

// The full-screen player: one video at a time through one mpv session, its renderer and the
// control bars, following the scene through background, foreground and interruptions, and moving
// on to the next video of the folder.
//
// Threads: every entry point runs on the main thread. mpv calls go through the session's command
// queue "mpv.commandQueue" (the session owns the handle and the queue), and what the player shows
// of mpv (the position of `syncUITime`) is what the session observed: the main thread never waits
// for mpv. The renderer frees its render context on "Reelhaven.renderQueue" before the session
// destroys the handle. Work posted to a queue or a timer holds the player weakly. The
// screenshot contexts are guarded by `m_screenshotMutex` (the command queue inserts, the photo
// library's completion removes).
//
// Where each member lives:
// - reelhaven_view_controller.cpp: creation, the view life cycle, moving on to another video,
//   closing, the options delegate.
// - reelhaven_view_controller_scene.cpp: background and foreground, interruptions, the second
//   screen's arrival, the status bar and the orientations.
// - reelhaven_view_controller_timers.cpp: the three timers and the clock's rest, `syncUITime`, the
//   progress saves.
// - reelhaven_view_controller_layout.cpp: control visibility, the title, label widths, content
//   modes, the aspect ratio, the picture-in-picture size, the subtitle position.
// - reelhaven_view_controller_transport.cpp: pause, seeks, skips, chapters, the progress slider,
//   the three popovers.
// - reelhaven_view_controller_gestures.cpp: the recognisers, their filter and actions, the keys.
// - reelhaven_view_controller_screenshots.cpp: screenshots saved to the photo library.
// - reelhaven_storyboard.cpp: the storyboard "Reelhaven" and the views of its "player" scene.
class ReelhavenViewController : public ui::ViewController,
                                public VideoControlDelegate,
                                public MPVOptionsDelegate,
                                public VideoLayoutDelegate,
                                public PlayerScreen,
                                public ui::GestureRecognizerDelegate,
                                public ui::PopoverPresentationControllerDelegate {
public:
    // One PNG file on its way to the photo library; kept in `m_screenshotSaveContexts` until the
    // library has answered, so a quick second shot does not hand the same file over again.
    class ScreenshotSaveContext {
    public:
        std::string screenshotPath;
    };

    static constexpr const char* kStoryboardName = "Reelhaven";
    static constexpr const char* kStoryboardIdentifier = "player";
    static constexpr const char* kScreenshotSucceeded = "screenshotSucceeded";
    static constexpr const char* kScreenshotFailed = "screenshotFailed";
    static constexpr const char* kExternalDisplayReady = "externalDisplayReady";
    // Told when a loaded file has no video track (a song opened from elsewhere).
    static constexpr const char* kNoPictureTitle = "No Picture";
    static constexpr const char* kNoPictureMessage = "This file has sound but no video.";

    // The creator the storyboard's caller passes: the only way to make a player.
    static std::shared_ptr<ReelhavenViewController> create(const ui::Coder& coder, PlaybackInfoPtr playbackInfo,
                                                           std::shared_ptr<MediaCenterService> mediaCenterService);
    ~ReelhavenViewController() override;
    std::string className() const override { return "ReelhavenViewController"; }

    // Before the view loads: how the session talks to mpv (audio output, decoder, screen).
    void setSessionOptions(MPVSession::Options options);

    // ---- reelhaven_view_controller.cpp (and _scene.cpp: status bar, orientations, scene calls)
    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewWillTransition(ui::Size size, ui::TransitionCoordinator& coordinator) override;
    bool prefersHomeIndicatorAutoHidden() const override { return true; }
    bool prefersStatusBarHidden() const override;
    StatusBarStyle preferredStatusBarStyle() const override { return StatusBarStyle::lightContent; }
    unsigned supportedInterfaceOrientations() const override;
    bool shouldAutorotate() const { return true; }
    bool canBecomeFirstResponder() const override { return true; }

    // Called by the scene delegate.
    void enterBackground();
    void enterForeground();
    void displayConnected();
    void audioInterruption(const foundation::Notification& notification);

    void playNextVideo();
    void switchToVideo(const std::shared_ptr<Video>& video) override;
    void close(bool finished) override;

    // MPVOptionsDelegate: writes on the command queue, through the session.
    mpv_handle* mpv() const override;
    void setFlagProperty(const std::string& name, bool value) override;
    void setIntProperty(const std::string& name, std::int64_t value) override;
    void setDoubleProperty(const std::string& name, double value) override;
    void setStringProperty(const std::string& name, const std::string& value) override;
    void setHighQualityVideo(bool on) override;
    void updateSubtitleFont() override;
    void selectTrack(const Track& track) override;

    // VideoLayoutDelegate.
    void videoViewDidLayoutSubviews() override;

    // ---- reelhaven_view_controller_timers.cpp
    // Starts the timers that are not running, unless the clock may rest (below).
    void startTimers();
    void syncUITime();
    // The clock (the 0.2 s interface timer and the 5 s save) rests while nothing can move the
    // position: paused as mpv reports it, with no seek in flight and no finger on the position.
    // A seek asked for, a load, mpv playing again, an option set or a pan's end wakes it; its next
    // tick, mpv's pause report or a playback restart lets it rest again. The 30 s commit stops at
    // its first beat while resting. So a paused player wakes nobody.
    void wakeClock();
    void restClockIfSettled();
    bool clockMayRest() const;
    void saveProgress();
    void commitProgress();
    // Blocks until the progress saves the player started in the background have ended. Called
    // before the process ends: a save cut off by the exit loses the position, and one still
    // running while the statics go (OpenSSL's digest locks among them) crashes the exit.
    void waitForProgressSaves() const;
    // The saves above, for an owner that waits for them after the player has gone.
    const std::shared_ptr<dispatch::Group>& progressSaves() const { return m_progressSaves; }

    // ---- reelhaven_view_controller_layout.cpp
    void showControls();
    void scheduleHideControls(bool evenIfPaused);
    void showTitleView();
    // Main thread, once a file without a video track has loaded: draws the empty picture and
    // says in an alert that only sound plays.
    void fileHasNoPicture();
    void updateProgressLabelWidths() override;
    void toggleAspectRatio() override;
    void applyContentMode(ContentMode mode);
    // Applies `mode`, moves the subtitles to suit it and keeps it in the player and its info.
    void switchContentMode(ContentMode mode);
    void updateAspectRatioConstraint(std::optional<double> ratio, std::optional<double> aspect,
                                     std::optional<double> rotation);
    // Command queue (fatal elsewhere): reads the picture's size and gives it to the renderer for
    // picture in picture on the main queue.
    void updatePictureInPictureSize();
    void updateSubtitlePosition() override;
    // The "sub-pos" value the automatic position gives now; none without a window.
    std::optional<std::int64_t> automaticSubtitlePosition() const;

    // ---- reelhaven_view_controller_transport.cpp
    void setPaused(bool paused, bool updateUI) override;
    void seekBy(double seconds) override;
    void seekTo(double seconds) override;
    void skipForward() override;
    void skipBackward() override;
    void selectChapter(int index) override;
    void showAudioSubtitlePopover() override;
    void showOptionsPopover() override;
    void showVideoMenuPopover() override;
    std::optional<ui::ModalPresentationStyle> adaptivePresentationStyle(ui::PopoverPresentationController& controller,
                                                                        const ui::TraitCollection& traits) override;
    void setupControlActions();
    void touchDown(ui::Control& sender);
    void touchUpInside(ui::Control& sender);
    void touchUpOutside(ui::Control& sender);
    void touchCancel(ui::Control& sender);
    void progressBarChanged(ui::Control& sender);
    // The skip interval of the setting text ("5", "10", "15", "30"; anything else 10).
    static int skipInterval(const std::string& setting);
    // The flag of a slider seek: exact on short videos and while scrubbing finely.
    static const char* sliderSeekFlag(double duration, float scrubbingSpeed);
    // The slider's percent clamped so a seek never lands in the last second.
    static double sliderSeekTarget(double value, double duration);

    // ---- reelhaven_view_controller_gestures.cpp
    void setupGestures();
    bool shouldReceiveTouch(ui::GestureRecognizer& recognizer, const ui::Touch& touch) override;
    void didTapScreen(ui::GestureRecognizer& recognizer);
    void didMultitapScreen(ui::GestureRecognizer& recognizer);
    void didPinchScreen(ui::GestureRecognizer& recognizer);
    void didPanScreen(ui::GestureRecognizer& recognizer);
    void pressesBegan(const std::vector<ui::Press>& presses) override;
    void pressesEnded(const std::vector<ui::Press>& presses) override;

    // ---- reelhaven_view_controller_screenshots.cpp
    void takeScreenshot(bool withSubtitles) override;
    // Command queue: the screenshot command's reply (mpv's error code). Hands every PNG of the
    // screenshot folder that is not already on its way to the photo library; "screenshotFailed"
    // when mpv refused or nothing was handed over.
    void saveScreenshots(int error);
    // Main queue: the photo library's answer for one file.
    void screenshotSaved(const std::optional<foundation::Error>& error,
                         const std::shared_ptr<ScreenshotSaveContext>& context);

    // State that tests and the neighbouring screens read.
    std::shared_ptr<PlaybackInfo> playbackInfo() const override { return m_playbackInfo; }
    const std::shared_ptr<MPVSession>& session() const { return m_session; }
    const std::shared_ptr<VideoRenderer>& videoRenderer() const { return m_videoRenderer; }
    const std::shared_ptr<MediaCenterService>& mediaCenterService() const { return m_mediaCenterService; }
    std::shared_ptr<VideoControlView> controlView() const override { return m_controlView.lock(); }
    std::shared_ptr<NoteView> noteView() const { return m_noteView.lock(); }
    std::shared_ptr<TitleView> titleView() const { return m_titleView.lock(); }
    std::shared_ptr<MPVGLKView> glkView() const { return m_glkView.lock(); }
    bool hideControls() const { return m_hideControls; }
    bool hideStatusBar() const { return m_hideStatusBar; }
    bool controlsAreAnimating() const { return m_controlsAreAnimating; }
    bool relativeSubtitlePosition() const { return m_relativeSubtitlePosition; }
    ContentMode contentMode() const { return m_contentMode; }
    bool changedVideo() const { return m_changedVideo; }
    bool pausedFromAudioInterruption() const { return m_pausedFromAudioInterruption; }
    bool pausedFromBackground() const { return m_pausedFromBackground; }
    bool shouldLockOrientation() const { return m_shouldLockOrientation; }
    const std::shared_ptr<dispatch::Timer>& syncPlayTimeTimer() const { return m_syncPlayTimeTimer; }
    const std::shared_ptr<dispatch::Timer>& saveProgressTimer() const { return m_saveProgressTimer; }
    const std::shared_ptr<dispatch::Timer>& commitProgressTimer() const { return m_commitProgressTimer; }
    const std::shared_ptr<media::PictureInPictureController>& pictureInPictureController() const {
        return m_pictureInPictureController;
    }
    std::shared_ptr<ui::LayoutConstraint> aspectRatioConstraint() const { return m_aspectRatioConstraint; }
    const std::shared_ptr<ui::FeedbackGenerator>& lightHapticFeedbackGenerator() const {
        return m_lightHapticFeedbackGenerator;
    }
    std::size_t pendingScreenshotSaves() const;

private:
    ReelhavenViewController(PlaybackInfoPtr playbackInfo, std::shared_ptr<MediaCenterService> mediaCenterService);
    std::shared_ptr<ReelhavenViewController> self() { return sharedAs<ReelhavenViewController>(); }
    std::weak_ptr<ReelhavenViewController> weakSelf() { return self(); }
    bool isPictureInPictureActive() const;
    bool isSecondScreenConnected() const;
    bool isSceneInBackground() const;
    bool isSceneDisconnected() const;
    bool isSceneIn(ui::SceneActivationState state) const;
    Preferences& preferences() const;

    // ---- reelhaven_view_controller.cpp
    void addPictureInPictureView();
    void wireSession();
    // Writes the title of the current record into the title view and has the session load it.
    void startPlayback();
    // With a second screen connected the now-playing view shows the current video; false without.
    bool showOnNowPlayingView();
    // Main queue, after mpv restarted playback (a load or a seek).
    void playbackRestarted();
    void fileEnded(EndFileAction action);
    void restoreContentModeAndAspect();
    void setSceneTitle(const std::string& title);
    // Puts the current record's activity on the window scene, so the scene saved at any moment
    // brings this player back; on system versions before 15 nothing is offered.
    void offerUserActivity();
    void destroyMPV();
    // Main thread only: wakes the clock (see `wakeClock`); from other threads nothing.
    void optionSet();
    void dismissPlayer();
    void invalidateTimers();
    void observePictureInPicture();
    void activateMediaCenter();
    void updateNowPlayingInfo();

    // ---- reelhaven_view_controller_scene.cpp
    // Before 16, with landscape preferred: turns the device to landscape from the orientation of
    // the application's first window; then follows the setting into `m_shouldLockOrientation`.
    void setUpLandscape();
    void restoreOrientation();

    // ---- reelhaven_view_controller_layout.cpp
    void hideControlsChanged(bool oldValue);
    void setHideControls(bool hide);
    void fadeOutControls(bool dismissPopover);
    void setSubtitlePosition(std::int64_t position);

    // ---- reelhaven_view_controller_transport.cpp
    void finalBarSeek(ui::Control& sender);
    void resumeAfterBarSeek();
    void presentPopover(const std::shared_ptr<ui::ViewController>& popover, const std::shared_ptr<ui::View>& anchor,
                        const ui::Rect& sourceRect, bool arrowDown);
    bool dismissPresentedPopover();
    std::optional<double> popoverMaxHeight() const;
    void seekCommand(const std::string& target, const std::string& flag);

    // ---- reelhaven_view_controller_timers.cpp
    // Runs `save` on the global queue, counted in `m_progressSaves`.
    void saveInBackground(std::function<void()> save);
    // Starts each of the three timers that is not running.
    void runTimers();
    // The timers' actions: the work, then a rest if it may.
    void clockTick();
    void commitTick();

    // ---- reelhaven_view_controller_gestures.cpp
    // Decides what a pan is at its first event beyond the dead zone; true when it seeks.
    bool decidePan(ui::Point translation);
    void panLevels(double ty);
    void panSeek(double tx, double velocity);
    void endPan();
    void setSystemVolume(double level);
    void togglePaused();
    // A wide video on a screen with side insets: pinches and the aspect button take three steps.
    bool usesThreeStepAspectLadder();

    // ---- reelhaven_view_controller_screenshots.cpp
    // The Caches "Screenshots" folder mpv writes into; none when it cannot be made.
    std::optional<std::filesystem::path> screenshotFolder() const;
    // False when a save of the same file is still pending.
    bool beginScreenshotSave(const std::shared_ptr<ScreenshotSaveContext>& context);
    void endScreenshotSave(const std::shared_ptr<ScreenshotSaveContext>& context);

    // ---- The fields, in the order of the product's player.
    // The libmpv client and its command queue "mpv.commandQueue" live in the session.
    std::shared_ptr<MPVSession> m_session;
    MPVSession::Options m_sessionOptions;
    PlaybackInfoPtr m_playbackInfo;
    std::shared_ptr<MediaCenterService> m_mediaCenterService;
    std::shared_ptr<ui::TapGestureRecognizer> m_tapGestureRecognizer;
    std::shared_ptr<ui::PinchGestureRecognizer> m_pinchGestureRecognizer;
    std::shared_ptr<InitialPanGestureRecognizer> m_panGestureRecognizer;
    std::shared_ptr<ui::TapGestureRecognizer> m_multitapGestureRecognizer;
    std::shared_ptr<ui::FeedbackGenerator> m_lightHapticFeedbackGenerator;
    std::shared_ptr<dispatch::Timer> m_syncPlayTimeTimer;
    std::shared_ptr<dispatch::Timer> m_saveProgressTimer;
    std::shared_ptr<dispatch::Timer> m_commitProgressTimer;
    std::shared_ptr<dispatch::Group> m_progressSaves;  // the saves running on the global queue
    // The timers are stopped (background, closed), which is more than resting.
    bool m_clockStopped = true;
    bool m_mpvPaused = false;  // mpv's "pause" as it last reported it
    std::optional<double> m_gestureDeadzoneOrigin;
    std::optional<bool> m_validPanSeek;
    std::optional<double> m_panSeekInitialTime;
    bool m_panSeekPaused = false;
    bool m_barSeekPaused = false;
    std::optional<double> m_lastPanSeek;
    std::optional<double> m_lastBarSeek;
    float m_lastSliderSpeed = 1.0f;
    std::optional<bool> m_validPanVolume;
    std::optional<double> m_panVolumeInitialValue;
    std::optional<double> m_lastVolume;
    std::optional<bool> m_validPanBrightness;
    std::optional<double> m_panBrightnessInitialValue;
    std::optional<double> m_lastBrightness;
    std::shared_ptr<dispatch::WorkItem> m_hideStatusBarWorkItem;
    std::shared_ptr<dispatch::WorkItem> m_hideTitleViewWorkItem;
    bool m_hideStatusBar = false;
    bool m_controlsAreAnimating = false;
    bool m_hideControls = true;  // observed: see hideControlsChanged
    bool m_relativeSubtitlePosition = false;
    ContentMode m_contentMode = ContentMode::aspectFit;
    std::optional<bool> m_didChangeAspect;
    bool m_changedVideo = false;
    bool m_pausedFromAudioInterruption = false;
    bool m_pausedFromBackground = false;
    std::shared_ptr<media::VolumeView> m_volume;
    std::weak_ptr<NoteView> m_noteView;
    std::weak_ptr<TitleView> m_titleView;
    std::weak_ptr<VideoControlView> m_controlView;
    std::shared_ptr<VideoRenderer> m_videoRenderer;
    std::weak_ptr<MPVGLKView> m_glkView;
    std::weak_ptr<MetalHDRView> m_metalView;
    std::shared_ptr<PictureInPictureView> m_pictureInPictureView;
    std::shared_ptr<media::PictureInPictureController> m_pictureInPictureController;
    std::weak_ptr<ui::LayoutConstraint> m_aspectFitConstraintHeight;
    std::weak_ptr<ui::LayoutConstraint> m_aspectFitConstraintWidth;
    std::weak_ptr<ui::LayoutConstraint> m_aspectFillConstraintHeight;
    std::weak_ptr<ui::LayoutConstraint> m_aspectFillConstraintWidth;
    std::shared_ptr<ui::LayoutConstraint> m_aspectRatioConstraint;
    std::weak_ptr<NowPlayingView> m_nowPlayingView;
    std::optional<ui::InterfaceOrientation> m_previousOrientation;
    std::vector<foundation::Cancellable> m_cancellables;
    bool m_shouldLockOrientation = false;
    mutable std::mutex m_screenshotMutex;  // guards m_screenshotSaveContexts
    std::set<std::shared_ptr<ScreenshotSaveContext>> m_screenshotSaveContexts;

    // The views of the storyboard scene, kept so the weak outlets above stay valid.
    std::shared_ptr<PlayerInterface> m_interface;
    std::vector<foundation::NotificationCenter::Token> m_observers;
};

}  // namespace reelhaven
