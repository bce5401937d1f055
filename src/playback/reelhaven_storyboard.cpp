#include "playback/reelhaven_storyboard.h"

#include "controls/bottom_control_view.h"
#include "controls/note_view.h"
#include "controls/title_view.h"
#include "controls/top_control_view.h"
#include "controls/video_control_view.h"
#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "platform/base/fatal.h"
#include "platform/ui/controllers/storyboard.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/layout/layout_guide.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {

constexpr double kBarMargin = 8;
constexpr double kTopBarHeight = 44;
constexpr double kNoteWidth = 200;
constexpr double kNoteHeight = 90;
constexpr double kNowPlayingWidth = 320;
constexpr double kNowPlayingHeight = 240;

template <typename V>
std::shared_ptr<V> placed(const std::shared_ptr<ui::View>& parent, std::shared_ptr<V> view) {
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    parent->addSubview(view);
    return view;
}

std::shared_ptr<ui::LayoutConstraint> withPriority(std::shared_ptr<ui::LayoutConstraint> constraint, float priority) {
    constraint->setPriority(priority);
    return constraint;
}

void buildVideoView(PlayerInterface& scene) {
    auto& root = scene.root;
    auto glk = placed(root, MPVGLKView::create());
    scene.glkView = glk;
    auto safe = root->safeAreaLayoutGuide();
    // Fit keeps the picture inside the safe area's width; the unsafe fit and fill reach the edges.
    scene.aspectFitConstraintWidth = glk->widthAnchor().constraintLessThanOrEqualTo(safe->widthAnchor());
    scene.aspectFitConstraintHeight = glk->heightAnchor().constraintLessThanOrEqualTo(root->heightAnchor());
    scene.aspectFillConstraintWidth = glk->widthAnchor().constraintGreaterThanOrEqualTo(root->widthAnchor());
    scene.aspectFillConstraintHeight = glk->heightAnchor().constraintGreaterThanOrEqualTo(root->heightAnchor());
    scene.aspectRatioConstraint = glk->widthAnchor().constraint(glk->heightAnchor(), 16.0 / 9.0, 0);
    ui::LayoutConstraint::activate({
        glk->centerXAnchor().constraint(root->centerXAnchor()),
        glk->centerYAnchor().constraint(root->centerYAnchor()),
        // As large as the active bounds allow (fit) or as small (fill).
        withPriority(glk->widthAnchor().constraint(root->widthAnchor()), ui::LayoutPriority::defaultLow),
        withPriority(glk->heightAnchor().constraint(root->heightAnchor()), ui::LayoutPriority::defaultLow),
        scene.aspectRatioConstraint,
        scene.aspectFitConstraintWidth,
        scene.aspectFitConstraintHeight,
    });
    auto metal = placed(root, MetalHDRView::create());
    metal->setHidden(true);
    scene.metalView = metal;
    auto nowPlaying = placed(root, NowPlayingView::create());
    nowPlaying->setHidden(true);
    scene.nowPlayingView = nowPlaying;
    ui::LayoutConstraint::activate({
        metal->leadingAnchor().constraint(glk->leadingAnchor()),
        metal->trailingAnchor().constraint(glk->trailingAnchor()),
        metal->topAnchor().constraint(glk->topAnchor()),
        metal->bottomAnchor().constraint(glk->bottomAnchor()),
        nowPlaying->centerXAnchor().constraint(root->centerXAnchor()),
        nowPlaying->centerYAnchor().constraint(root->centerYAnchor()),
        nowPlaying->widthAnchor().constraintEqualToConstant(kNowPlayingWidth),
        nowPlaying->heightAnchor().constraintEqualToConstant(kNowPlayingHeight),
    });
}

void buildControls(PlayerInterface& scene) {
    auto& root = scene.root;
    auto top = TopControlView::create();
    auto bottom = BottomControlView::create();
    top->setTranslatesAutoresizingMaskIntoConstraints(false);
    bottom->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto controls = placed(root, VideoControlView::create(top, bottom));
    scene.controlView = controls;
    auto safe = root->safeAreaLayoutGuide();
    ui::LayoutConstraint::activate({
        controls->leadingAnchor().constraint(root->leadingAnchor()),
        controls->trailingAnchor().constraint(root->trailingAnchor()),
        controls->topAnchor().constraint(root->topAnchor()),
        controls->bottomAnchor().constraint(root->bottomAnchor()),
        top->topAnchor().constraint(safe->topAnchor(), kBarMargin),
        top->leadingAnchor().constraint(safe->leadingAnchor(), kBarMargin),
        top->trailingAnchor().constraint(safe->trailingAnchor(), -kBarMargin),
        top->heightAnchor().constraintEqualToConstant(kTopBarHeight),
        bottom->leadingAnchor().constraint(safe->leadingAnchor(), kBarMargin),
        bottom->trailingAnchor().constraint(safe->trailingAnchor(), -kBarMargin),
        bottom->bottomAnchor().constraint(safe->bottomAnchor(), -kBarMargin),
    });
}

void buildOverlays(PlayerInterface& scene) {
    auto& root = scene.root;
    auto note = placed(root, NoteView::create());
    note->setHidden(true);
    auto title = placed(root, TitleView::create());
    title->setHidden(true);
    scene.noteView = note;
    scene.titleView = title;
    auto safe = root->safeAreaLayoutGuide();
    ui::LayoutConstraint::activate({
        note->centerXAnchor().constraint(root->centerXAnchor()),
        note->centerYAnchor().constraint(root->centerYAnchor()),
        note->widthAnchor().constraintEqualToConstant(kNoteWidth),
        note->heightAnchor().constraintEqualToConstant(kNoteHeight),
        title->centerXAnchor().constraint(root->centerXAnchor()),
        title->topAnchor().constraint(safe->topAnchor(), kBarMargin),
        title->leadingAnchor().constraintGreaterThanOrEqualTo(safe->leadingAnchor(), kBarMargin),
    });
}

}  // namespace

void registerReelhavenStoryboard() {
    if (ui::Storyboard::isRegistered(ReelhavenViewController::kStoryboardName,
                                     ReelhavenViewController::kStoryboardIdentifier))
        return;
    ui::Storyboard::registerController(
        ReelhavenViewController::kStoryboardName, ReelhavenViewController::kStoryboardIdentifier,
        []() -> std::shared_ptr<ui::ViewController> { base::fatal("init(coder:) has not been implemented"); });
}

std::shared_ptr<PlayerInterface> PlayerInterface::build() {
    auto scene = std::make_shared<PlayerInterface>();
    scene->root = ui::View::create();
    scene->root->setBackgroundColor(ui::Color::black());
    buildVideoView(*scene);
    buildControls(*scene);
    buildOverlays(*scene);
    return scene;
}

}  // namespace reelhaven
