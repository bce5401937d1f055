#include "controls/video_control_view.h"

#include <map>

#include "controls/control_assets.h"
#include "controls/control_symbols.h"
#include "controls/progress_label_texts.h"
#include "core/preferences.h"
#include "platform/base/fatal.h"
#include "platform/ui/gestures/tap_gesture_recognizer.h"
#include "platform/ui/views/image.h"
#include "playback/model/playback_info.h"
#include "toolkit/monospaced_digits.h"

namespace reelhaven {
namespace {

struct SkipImages {
    const char* backward;
    const char* forward;
    bool asset;  // from the program's images, else system symbols
};

const std::map<std::string, SkipImages>& skipImages() {
    static const std::map<std::string, SkipImages> images{{"5", {"backward5", "forward5", true}},
                                                          {"10", {"gobackward.10", "goforward.10", false}},
                                                          {"15", {"gobackward.15", "goforward.15", false}},
                                                          {"30", {"gobackward.30", "goforward.30", false}}};
    return images;
}

std::shared_ptr<ui::Image> skipImage(const char* name, bool asset) {
    if (asset) {
        auto image = ui::Image::named(name);
        return image ? image->withConfiguration(skipSymbolConfiguration()) : nullptr;
    }
    return ui::Image::systemImage(name, skipSymbolConfiguration());
}

void tint(const std::shared_ptr<ui::Button>& a, const std::shared_ptr<ui::Button>& b, bool dimmed) {
    const ui::Color colour = dimmed ? ui::Color::gray() : ui::Color::white();
    a->setTintColor(colour);
    b->setTintColor(colour);
}

}  // namespace

std::shared_ptr<VideoControlView> VideoControlView::create(const std::shared_ptr<TopControlView>& top,
                                                           const std::shared_ptr<BottomControlView>& bottom,
                                                           const ui::Rect& frame) {
    registerControlAssets();
    auto view = std::shared_ptr<VideoControlView>(new VideoControlView(frame));
    if (top) view->addSubview(top);
    if (bottom) view->addSubview(bottom);
    view->m_topControlView = top;
    view->m_bottomControlView = bottom;
    view->awakeFromNib();
    return view;
}

VideoControlView::VideoControlView(const ui::Rect& frame)
    : ui::View(frame), m_haptics(ui::FeedbackGenerator::impact(ui::FeedbackGenerator::ImpactStyle::light)) {}

std::shared_ptr<TopControlView> VideoControlView::top() const {
    auto bar = m_topControlView.lock();
    if (!bar) base::fatal("VideoControlView: the top bar outlet is not connected");
    return bar;
}

std::shared_ptr<BottomControlView> VideoControlView::bottom() const {
    auto bar = m_bottomControlView.lock();
    if (!bar) base::fatal("VideoControlView: the bottom bar outlet is not connected");
    return bar;
}

void VideoControlView::awakeFromNib() {
    auto topBar = top();
    auto bottomBar = bottom();
    topBar->layer().setCornerRadius(16);
    topBar->layer().setCornerCurve(ui::CornerCurve::continuous);
    topBar->layer().setMasksToBounds(true);
    for (const auto& label : {bottomBar->progressLabel(), bottomBar->durationLabel()}) {
        label->setFont(ui::Font::fromDescriptor(withMonospacedDigits(label->font().fontDescriptor()), 0));
    }
    std::weak_ptr<VideoControlView> weak = sharedAs<VideoControlView>();
    auto toggle = ui::TapGestureRecognizer::create(shared_from_this(), [weak](ui::GestureRecognizer&) {
        if (auto self = weak.lock()) self->progressLabelTapped();
    });
    toggle->setName("progressStateToggle");
    bottomBar->durationLabel()->setUserInteractionEnabled(true);
    bottomBar->durationLabel()->addGestureRecognizer(toggle);
    showPlaying();
    updateSkipIntervalIcons();

    auto wire = [&](const std::shared_ptr<ui::Button>& button, void (VideoControlView::*action)()) {
        button->addTarget(
            shared_from_this(),
            [weak, action](ui::Control&) {
                if (auto self = weak.lock()) ((*self).*action)();
            },
            ui::touchUpInside);
    };
    wire(bottomBar->playPauseButton(), &VideoControlView::playButtonPressed);
    wire(bottomBar->skipBackwardButton(), &VideoControlView::skipBackwardButtonPressed);
    wire(bottomBar->skipForwardButton(), &VideoControlView::skipForwardButtonPressed);
    wire(bottomBar->optionsButton(), &VideoControlView::optionsButtonPressed);
    wire(bottomBar->audioSubtitlesButton(), &VideoControlView::audioSubtitleButtonPressed);
    wire(topBar->closeVideoButtonView()->button(), &VideoControlView::closeButtonPressed);
    wire(topBar->videoMenuButtonView()->button(), &VideoControlView::videoButtonPressed);
}

void VideoControlView::showPlayPauseSymbol(const char* symbol, bool selected) {
    auto button = bottom()->playPauseButton();
    button->setImage(ui::Image::systemImage(symbol, playSymbolConfiguration()), ui::normal);
    button->setSelected(selected);
}

void VideoControlView::showPlaying() { showPlayPauseSymbol("pause.fill", false); }

void VideoControlView::showPaused() { showPlayPauseSymbol("play.fill", true); }

void VideoControlView::updateSkipIntervalIcons() {
    auto bar = bottom();
    auto found = skipImages().find(Preferences::shared().skipInterval.wrappedValue());
    if (found == skipImages().end()) return;
    const SkipImages& images = found->second;
    // A skip image that cannot be loaded leaves the button with the one it has, not with none:
    // a blank button would still skip, but by an interval nobody can see.
    if (auto image = skipImage(images.backward, images.asset)) bar->skipBackwardButton()->setImage(image, ui::normal);
    if (auto image = skipImage(images.forward, images.asset)) bar->skipForwardButton()->setImage(image, ui::normal);
}

void VideoControlView::updateProgressLabels(double progress, double duration) {
    auto bar = bottom();
    const ProgressLabelTexts texts = progressLabelTexts(progress, duration, m_progressLabelStyle);
    bar->progressLabel()->setText(texts.progress);
    bar->durationLabel()->setText(texts.duration);
}

void VideoControlView::toggleProgressLabelStyle() {
    m_progressLabelStyle = m_progressLabelStyle == ProgressLabelStyle::progressDuration
                               ? ProgressLabelStyle::progressTimeRemaining
                               : ProgressLabelStyle::progressDuration;
    if (auto player = delegate()) player->updateProgressLabelWidths();
}

void VideoControlView::dimButtonsForOptionsPopover(bool dimmed) {
    tint(bottom()->audioSubtitlesButton(), top()->videoMenuButtonView()->button(), dimmed);
}

void VideoControlView::dimButtonsForVideoMenuPopover(bool dimmed) {
    tint(bottom()->audioSubtitlesButton(), bottom()->optionsButton(), dimmed);
}

void VideoControlView::dimButtonsForAudioSubtitlePopover(bool dimmed) {
    tint(bottom()->optionsButton(), top()->videoMenuButtonView()->button(), dimmed);
}

void VideoControlView::unlessHidden(const std::function<void(VideoControlDelegate&)>& call) {
    if (isHidden()) return;
    if (auto player = delegate()) call(*player);
}

void VideoControlView::withHaptics(const std::function<void(VideoControlDelegate&)>& call) {
    auto& preferences = Preferences::shared();
    if (!preferences.reduceHaptics.wrappedValue()) m_haptics->prepare();
    if (isHidden()) return;
    if (auto player = delegate()) call(*player);
    if (!preferences.reduceHaptics.wrappedValue()) m_haptics->impactOccurred();
}

void VideoControlView::closeButtonPressed() {
    unlessHidden([](VideoControlDelegate& player) { player.close(false); });
}

void VideoControlView::videoButtonPressed() {
    unlessHidden([](VideoControlDelegate& player) { player.showVideoMenuPopover(); });
}

void VideoControlView::playButtonPressed() {
    auto info = m_playbackInfo.lock();
    const bool paused = info && info->isPaused();
    withHaptics([paused](VideoControlDelegate& player) { player.setPaused(!paused, true); });
}

void VideoControlView::skipBackwardButtonPressed() {
    withHaptics([](VideoControlDelegate& player) { player.skipBackward(); });
}

void VideoControlView::skipForwardButtonPressed() {
    withHaptics([](VideoControlDelegate& player) { player.skipForward(); });
}

void VideoControlView::aspectRatioButtonPressed() {
    unlessHidden([](VideoControlDelegate& player) { player.toggleAspectRatio(); });
}

void VideoControlView::audioSubtitleButtonPressed() {
    unlessHidden([](VideoControlDelegate& player) { player.showAudioSubtitlePopover(); });
}

void VideoControlView::optionsButtonPressed() {
    unlessHidden([](VideoControlDelegate& player) { player.showOptionsPopover(); });
}

void VideoControlView::progressLabelTapped() { toggleProgressLabelStyle(); }

}  // namespace reelhaven
