#pragma once

#include <memory>

namespace ui {
class LayoutConstraint;
class View;
}  // namespace ui

namespace reelhaven {

class MetalHDRView;
class MPVGLKView;
class NoteView;
class NowPlayingView;
class TitleView;
class VideoControlView;

// Registers the storyboard "Reelhaven" with its scene "player" (once; later calls do nothing).
// The scene's controller has no plain initialiser: callers instantiate it with a creator that
// passes the PlaybackInfo and the MediaCenterService.
void registerReelhavenStoryboard();

// The views of the "player" scene as its interface file would hold them: the video view centred
// in the root view and sized by its content-mode constraints and its aspect ratio, the HDR view
// on it, the now-playing view in the middle (hidden), the control bars over them, the seek note in the middle and the
// title at the top. The root view keeps the views; the constraints are held here so the controller's weak outlets stay
// valid.
struct PlayerInterface {
    std::shared_ptr<ui::View> root;
    std::shared_ptr<MPVGLKView> glkView;
    std::shared_ptr<MetalHDRView> metalView;         // over the GL view, for HDR video
    std::shared_ptr<NowPlayingView> nowPlayingView;  // while a second screen plays
    std::shared_ptr<VideoControlView> controlView;
    std::shared_ptr<NoteView> noteView;
    std::shared_ptr<TitleView> titleView;
    // The content modes switch these on and off.
    std::shared_ptr<ui::LayoutConstraint> aspectFitConstraintWidth;
    std::shared_ptr<ui::LayoutConstraint> aspectFitConstraintHeight;
    std::shared_ptr<ui::LayoutConstraint> aspectFillConstraintWidth;
    std::shared_ptr<ui::LayoutConstraint> aspectFillConstraintHeight;
    // width = height x ratio; 16:9 until the video says otherwise.
    std::shared_ptr<ui::LayoutConstraint> aspectRatioConstraint;

    static std::shared_ptr<PlayerInterface> build();
};

}  // namespace reelhaven
