#include "playback/player_output.h"

#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/work_queue.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"
#include "playback/mpv_session.h"

namespace reelhaven {

PlayerOutput PlayerOutput::create(ui::Size size, double scale, const PlaybackInfoPtr& info,
                                  std::shared_ptr<Preferences> preferences) {
    PlayerOutput output;
    ui::Rect bounds(0, 0, size.width, size.height);
    output.screen = ui::Screen::create(bounds, scale);
    output.window = ui::Window::create(bounds);
    output.window->setScreen(output.screen);
    output.view = MPVGLKView::create(bounds);
    output.metalView = MetalHDRView::create(bounds);
    output.metalView->setHidden(true);
    output.pictureInPictureView = PictureInPictureView::create(bounds);
    output.pictureInPictureView->setAlpha(0);
    output.pictureInPictureView->setUserInteractionEnabled(false);
    output.nowPlayingView = NowPlayingView::create(bounds);
    output.nowPlayingView->setHidden(true);
    for (const std::shared_ptr<ui::View>& view : std::initializer_list<std::shared_ptr<ui::View>>{
             output.view, output.metalView, output.pictureInPictureView, output.nowPlayingView}) {
        output.window->addSubview(view);
        view->layoutSubviews();
    }
    output.renderer = VideoRenderer::create(output.view, output.metalView, output.pictureInPictureView,
                                            output.nowPlayingView, info, std::move(preferences));
    return output;
}

void PlayerOutput::attach(const std::shared_ptr<MPVSession>& session) {
    // Frees the render context whether or not the renderer is still there: its last owner may
    // be a render on the render queue, whose destructor would free it only after the handle.
    session->onWillDestroyHandle = renderer->renderContextReleaser();
    session->setup();
    renderer->optionsDelegate = session;
    pictureInPictureController = renderer->start(session->mpv());
}

}  // namespace reelhaven
