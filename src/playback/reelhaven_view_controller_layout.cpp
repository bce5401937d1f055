#include <cmath>

#include "controls/bottom_control_view.h"
#include "controls/note_view.h"
#include "controls/title_view.h"
#include "controls/video_control_view.h"
#include "core/preferences.h"
#include "core/video_progress.h"
#include "output/external_display_view_controller.h"
#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_item.h"
#include "platform/dispatch/work_queue.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/scenes/window_scene.h"
#include "platform/ui/views/platform_version.h"
#include "platform/ui/views/window.h"
#include "playback/player_gesture_rules.h"
#include "playback/reelhaven_view_controller.h"
#include "toolkit/constraint_multiplier.h"

namespace reelhaven {

namespace {

constexpr double kControlsHideDelay = 4.0;
constexpr double kFadeDuration = 0.3;
constexpr float kFadedAlpha = 0.02f;

template <typename T>
std::shared_ptr<T> outlet(const std::weak_ptr<T>& weak, const char* name) {
    auto strong = weak.lock();
    if (!strong) base::fatal(std::string("ReelhavenViewController: the outlet ") + name + " is not connected");
    return strong;
}

// mpv names the turn clockwise: a picture turned either way by a quarter is shown on its side.
// 270 counts as much as 90: taking only 90 as turned would show a picture turned the other way
// stretched to the wrong shape.
bool isQuarterTurn(std::optional<double> rotation) { return rotation && (*rotation == 90 || *rotation == 270); }

// A copy with the new multiplier takes the old constraint's place.
std::shared_ptr<ui::LayoutConstraint> replaced(const std::shared_ptr<ui::LayoutConstraint>& old, double multiplier) {
    auto replacement = withMultiplier(*old, multiplier);
    old->setActive(false);
    replacement->setActive(true);
    return replacement;
}

}  // namespace

void ReelhavenViewController::setHideControls(bool hide) {
    const bool old = m_hideControls;
    m_hideControls = hide;
    if (old != hide) hideControlsChanged(old);
}

void ReelhavenViewController::hideControlsChanged(bool) {
    if (m_hideControls) {
        m_relativeSubtitlePosition = false;
        updateSubtitlePosition();
    } else {
        if (!isPictureInPictureActive()) {
            m_relativeSubtitlePosition = true;
            updateSubtitlePosition();
        }
        outlet(m_noteView, "noteView")->setHidden(true);
    }
    outlet(m_controlView, "controlView")->setHidden(m_hideControls);
    m_playbackInfo->setHideControls(m_hideControls);
    offerUserActivity();
}

void ReelhavenViewController::showControls() {
    m_hideStatusBarWorkItem->cancel();
    setHideControls(false);
    auto controls = outlet(m_controlView, "controlView");
    controls->setAlpha(1.0);
    controls->layer().removeAllAnimations();
    m_controlsAreAnimating = false;
    m_hideStatusBar = false;
    setNeedsStatusBarAppearanceUpdate();
}

void ReelhavenViewController::scheduleHideControls(bool evenIfPaused) {
    showControls();
    if (m_playbackInfo->isPaused() && !evenIfPaused) return;
    if (presentedViewController()) return;
    outlet(m_controlView, "controlView")->setAlpha(1.0);
    setHideControls(false);
    m_hideStatusBar = false;
    setNeedsStatusBarAppearanceUpdate();
    m_hideStatusBarWorkItem = dispatch::WorkItem::create([weak = weakSelf()] {
        if (auto self = weak.lock()) self->fadeOutControls(true);
    });
    dispatch::Queue::main()->asyncAfter(kControlsHideDelay, m_hideStatusBarWorkItem);
}

void ReelhavenViewController::fadeOutControls(bool dismissPopover) {
    std::weak_ptr<ReelhavenViewController> weak = self();
    ui::View::animate(
        kFadeDuration, 0, ui::allowUserInteraction,
        [weak, dismissPopover] {
            auto self = weak.lock();
            if (!self) return;
            outlet(self->m_controlView, "controlView")->setAlpha(kFadedAlpha);
            self->m_hideStatusBar = true;
            self->setNeedsStatusBarAppearanceUpdate();
            self->m_controlsAreAnimating = true;
            if (dismissPopover && self->presentedViewController()) self->dismiss(true);
        },
        [weak](bool finished) {
            auto self = weak.lock();
            // Shown again meanwhile: the controls stay.
            if (!self || !finished) return;
            self->setHideControls(true);
            self->m_controlsAreAnimating = false;
        });
}

void ReelhavenViewController::showTitleView() {
    auto title = outlet(m_titleView, "titleView");
    title->layer().removeAllAnimations();
    m_hideTitleViewWorkItem->cancel();
    title->setAlpha(kFadedAlpha);
    title->setHidden(false);
    ui::View::animate(0.5, 0.3, ui::allowUserInteraction, [title] { title->setAlpha(1.0); });
    m_hideTitleViewWorkItem = dispatch::WorkItem::create([weak = std::weak_ptr<TitleView>(title)] {
        auto view = weak.lock();
        if (!view) return;
        ui::View::animate(
            0.5, [view] { view->setAlpha(kFadedAlpha); },
            [view](bool finished) {
                if (finished) view->setHidden(true);
            });
    });
    dispatch::Queue::main()->asyncAfter(kControlsHideDelay, m_hideTitleViewWorkItem);
}

void ReelhavenViewController::fileHasNoPicture() {
    // The view shows its empty (black) picture instead of nothing at all, and the user learns why.
    if (m_videoRenderer) m_videoRenderer->redraw();
    if (presentedViewController()) return;
    auto alert = ui::AlertController::create(kNoPictureTitle, kNoPictureMessage, ui::AlertControllerStyle::alert);
    alert->addAction(ui::AlertAction::create("OK", ui::AlertActionStyle::defaultStyle));
    present(alert, true);
}

void ReelhavenViewController::updateProgressLabelWidths() {
    auto controls = outlet(m_controlView, "controlView");
    const auto duration = m_playbackInfo->duration();
    const double width = duration && *duration > 3600 ? 63 : 47;
    auto bar = controls->bottomControlView();
    if (!bar) base::fatal("ReelhavenViewController: the bottom bar outlet is not connected");
    const auto style = controls->progressLabelStyle();
    if (auto constraint = bar->progressLabelWidthConstraint()) constraint->setConstant(width);
    if (auto constraint = bar->durationLabelWidthConstraint())
        constraint->setConstant(style == ProgressLabelStyle::progressTimeRemaining ? width + 10 : width);
    syncUITime();
    preferences().progressLabelStyle.setWrappedValue(std::string(rawValue(style)));
}

void ReelhavenViewController::toggleAspectRatio() {
    switchContentMode(gesture_rules::toggledContentMode(m_contentMode, usesThreeStepAspectLadder()));
}

void ReelhavenViewController::switchContentMode(ContentMode mode) {
    applyContentMode(mode);
    updateSubtitlePosition();
    m_playbackInfo->setContentMode(mode);
    m_contentMode = mode;
}

void ReelhavenViewController::applyContentMode(ContentMode mode) {
    auto fitWidth = outlet(m_aspectFitConstraintWidth, "aspectFitConstraintWidth");
    auto fitHeight = outlet(m_aspectFitConstraintHeight, "aspectFitConstraintHeight");
    auto fillWidth = outlet(m_aspectFillConstraintWidth, "aspectFillConstraintWidth");
    auto fillHeight = outlet(m_aspectFillConstraintHeight, "aspectFillConstraintHeight");
    const bool fit = mode == ContentMode::aspectFit;
    const bool fill = mode == ContentMode::aspectFill;
    // Off before on, so the solver never sees both bounds of one side at once.
    std::vector<std::shared_ptr<ui::LayoutConstraint>> off, on;
    (fit ? on : off).push_back(fitWidth);
    (fill ? off : on).push_back(fitHeight);
    (fit ? off : on).push_back(fillWidth);
    (fill ? on : off).push_back(fillHeight);
    ui::LayoutConstraint::deactivate(off);
    ui::LayoutConstraint::activate(on);
}

void ReelhavenViewController::updateAspectRatioConstraint(std::optional<double> ratio, std::optional<double> aspect,
                                                          std::optional<double> rotation) {
    double r = 0;
    // A ratio no picture has would lay the video view out with no size.
    if (ratio && isUsableAspectRatio(*ratio)) {
        r = *ratio;
    } else if (aspect && isUsableAspectRatio(*aspect)) {
        r = isQuarterTurn(rotation) ? 1 / *aspect : *aspect;
        if (m_playbackInfo->aspectRatio() == r) return;
    } else {
        return;
    }
    m_playbackInfo->setAspectRatio(r);
    if (!m_aspectRatioConstraint) base::fatal("ReelhavenViewController: the aspect ratio constraint is not connected");
    m_aspectRatioConstraint = replaced(m_aspectRatioConstraint, r);
    if (auto external = ExternalDisplayViewController::current(); external && external->aspectRatioConstraint)
        external->aspectRatioConstraint = replaced(external->aspectRatioConstraint, r);
}

void ReelhavenViewController::updatePictureInPictureSize() {
    if (!m_session || !m_session->commandQueue()->isCurrent())
        base::fatal("ReelhavenViewController::updatePictureInPictureSize runs on mpv.commandQueue");
    const auto width = m_session->intProperty("video-params/w").value_or(0);
    const auto height = width != 0 ? m_session->intProperty("video-params/h").value_or(0) : 0;
    if (width == 0 || height == 0) return;
    const auto rotation = m_session->doubleProperty("video-params/rotate");
    dispatch::Queue::main()->async([weak = weakSelf(), width, height, rotation] {
        auto self = weak.lock();
        if (!self || !self->m_videoRenderer) return;
        if (!ui::PlatformVersion::isAtLeast(15) || !self->preferences().continueAudioBackground.wrappedValue()) return;
        if (isQuarterTurn(rotation))
            self->m_videoRenderer->setPictureInPictureRenderTarget(height, width);
        else
            self->m_videoRenderer->setPictureInPictureRenderTarget(width, height);
    });
}

void ReelhavenViewController::updateSubtitlePosition() {
    if (!mpv()) return;
    if (!preferences().subtitlePositionAuto.wrappedValue()) {
        setSubtitlePosition(preferences().subtitlePosition.wrappedValue());
        return;
    }
    if (auto position = automaticSubtitlePosition()) setSubtitlePosition(*position);
}

std::optional<std::int64_t> ReelhavenViewController::automaticSubtitlePosition() const {
    auto* self = const_cast<ReelhavenViewController*>(this);
    if (!isViewLoaded()) return std::nullopt;
    auto window = self->view()->window();
    auto glk = m_glkView.lock();
    auto controls = m_controlView.lock();
    auto bar = controls ? controls->bottomControlView() : nullptr;
    if (!window || !glk || !bar) return std::nullopt;
    const double G = glk->bounds().size.height;
    if (G <= 0) return std::nullopt;  // not laid out yet
    const double S = window->screen()->bounds().size.height;
    const double B = bar->bounds().size.height;
    const double I = window->safeAreaInsets().bottom;
    const auto traits = self->traitCollection();
    double gap = 0;
    if (traits.verticalSizeClass == ui::UserInterfaceSizeClass::regular)
        gap = 7;
    else if (traits.verticalSizeClass == ui::UserInterfaceSizeClass::compact &&
             traits.horizontalSizeClass == ui::UserInterfaceSizeClass::regular)
        gap = 3;
    const double raise = gap + B + I;
    const double overflow = G - S;
    std::int64_t base = 100;
    std::int64_t shift = 0;
    if (overflow > 0 && !isPictureInPictureActive()) {
        base = static_cast<std::int64_t>(100 - 50 * overflow / G);
        if (m_relativeSubtitlePosition) shift = static_cast<std::int64_t>(raise / G * 100);
    } else if (m_relativeSubtitlePosition && -overflow <= raise) {
        shift = static_cast<std::int64_t>(raise / (G + std::abs(overflow)) * 100);
    }
    return base - shift;
}

void ReelhavenViewController::setSubtitlePosition(std::int64_t position) { setIntProperty("sub-pos", position); }

}  // namespace reelhaven
