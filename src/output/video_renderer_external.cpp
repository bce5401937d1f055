// The second screen: its GL view takes the frames while it is connected.
#include "output/external_display_view_controller.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/video_renderer.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_context.h"

namespace reelhaven {

void VideoRenderer::externalDisplayConnected() {
    ui::checkMainThread();
    auto controller = ExternalDisplayViewController::current();
    if (!controller) return;
    auto view = controller->glkView();
    auto placeholder = controller->placeholderView();
    if (!view || !placeholder) base::fatal("ExternalDisplayViewController: an outlet is not connected");
    placeholder->setHidden(true);
    view->setHidden(false);
    // A view handed over again after a disconnection draws once it is in a window.
    view->setConnected(view->window() != nullptr);
    renderQueue()->async([weak = weak_from_this(), view] {
        auto self = weak.lock();
        if (!self) return;
        self->attachExternalView(view);
        // Picture in picture keeps its window's frames; will-stop moves them to this view.
        if (self->m_renderMethod == RenderMethod::pictureInPicture) return;
        self->m_renderMethod = RenderMethod::legacyExternalDisplay;
        if (self->usableHDRMetadata()) self->writeTargets("auto", "auto");
        self->showViewsLater(RenderMethod::legacyExternalDisplay);
    });
}

void VideoRenderer::externalDisplayDisconnected() {
    ui::checkMainThread();
    renderQueue()->async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self) return;
        self->detachExternalView();
        // During picture in picture only the view goes: the window keeps its frames and will-stop
        // picks the device's method. The picture-in-picture view, hidden for the second screen,
        // belongs to the device again.
        if (self->m_renderMethod == RenderMethod::pictureInPicture) {
            dispatch::Queue::main()->async([weak] {
                if (auto self = weak.lock()) self->m_pictureInPictureView->setHidden(false);
            });
            return;
        }
        self->showViewsLater(self->returnToDevice());
    });
}

void VideoRenderer::attachExternalView(const std::shared_ptr<MPVGLKView>& view) {
    checkRenderQueue("attachExternalView");
    view->setContext(m_context);
    view->setMpvContext(m_renderSlot->mpvRenderContext);
    view->setFrameShownHandler(frameShownHandler());
    m_renderSlot->externalView = view;
}

void VideoRenderer::detachExternalView() {
    checkRenderQueue("detachExternalView");
    auto view = std::exchange(m_renderSlot->externalView, nullptr);
    if (!view) return;
    view->setConnected(false);
    view->setFrameShownHandler(nullptr);
    view->setMpvContext(nullptr);
    view->setFboIdentifier(-1);
    // The view may outlive this renderer or come back to another player's context.
    if (m_context->makeCurrent()) view->releaseFramebuffer();
}

}  // namespace reelhaven
