#include "playback/player_output.h"

#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/work_queue.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/mpv_session.h"

namespace reelhaven {

PlayerOutput PlayerOutput::create(ui::Size size, double scale, const PlaybackInfoPtr& info) {
    PlayerOutput output;
    ui::Rect bounds(0, 0, size.width, size.height);
    output.screen = ui::Screen::create(bounds, scale);
    output.window = ui::Window::create(bounds);
    output.window->setScreen(output.screen);
    output.view = MPVGLKView::create(bounds);
    output.window->addSubview(output.view);
    output.view->layoutSubviews();
    output.renderer = VideoRenderer::create(output.view, info);
    return output;
}

void PlayerOutput::attach(const std::shared_ptr<MPVSession>& session) const {
    // Frees the render context whether or not the renderer is still there: its last owner may
    // be a render on the render queue, whose destructor would free it only after the handle.
    session->onWillDestroyHandle = renderer->renderContextReleaser();
    session->setup();
    renderer->optionsDelegate = session;
    renderer->start(session->mpv());
}

}  // namespace reelhaven
