#pragma once

#include <memory>

#include "platform/media/picture_in_picture_controller.h"
#include "platform/ui/views/size.h"
#include "playback/model/playback_info.h"

namespace ui {
class Screen;
class Window;
}  // namespace ui

namespace reelhaven {

class MetalHDRView;
class MPVGLKView;
class MPVSession;
class NowPlayingView;
class PictureInPictureView;
class Preferences;
class VideoRenderer;

// The video output of one player without its screen around it: an OpenGL view filling a window
// on a screen of its own, the HDR view, the picture-in-picture view and the now-playing view over
// it as the player lays them out, and the renderer drawing into them. The launcher, the
// benchmarks and the tests play through it; the player screen wires its own views the same way.
struct PlayerOutput {
    std::shared_ptr<ui::Screen> screen;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<MPVGLKView> view;
    std::shared_ptr<MetalHDRView> metalView;
    std::shared_ptr<PictureInPictureView> pictureInPictureView;
    std::shared_ptr<NowPlayingView> nowPlayingView;
    std::shared_ptr<VideoRenderer> renderer;
    // Made by `attach` when the settings allow picture in picture.
    std::shared_ptr<media::PictureInPictureController> pictureInPictureController;

    // Main thread. `size` in points; the views' pixels are `size` x `scale`. `preferences` null:
    // the shared ones.
    static PlayerOutput create(ui::Size size, double scale, const PlaybackInfoPtr& info,
                               std::shared_ptr<Preferences> preferences = nullptr);

    // Main thread: sets the session up, makes the renderer free its render context before the
    // session destroys its handle, and starts rendering from the session's handle.
    void attach(const std::shared_ptr<MPVSession>& session);
};

}  // namespace reelhaven
