#pragma once

#include <memory>

#include "platform/ui/views/size.h"
#include "playback/model/playback_info.h"

namespace ui {
class Screen;
class Window;
}  // namespace ui

namespace reelhaven {

class MPVGLKView;
class MPVSession;
class VideoRenderer;

// The video output of one player without its screen around it: an OpenGL view filling a window
// on a screen of its own, and the renderer drawing into it. The launcher, the benchmark and the
// tests play through it; the player screen wires its own views the same way.
struct PlayerOutput {
    std::shared_ptr<ui::Screen> screen;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<MPVGLKView> view;
    std::shared_ptr<VideoRenderer> renderer;

    // Main thread. `size` in points; the view's pixels are `size` x `scale`.
    static PlayerOutput create(ui::Size size, double scale, const PlaybackInfoPtr& info);

    // Main thread: sets the session up, makes the renderer free its render context before the
    // session destroys its handle, and starts rendering from the session's handle.
    void attach(const std::shared_ptr<MPVSession>& session) const;
};

}  // namespace reelhaven
