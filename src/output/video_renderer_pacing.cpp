// When the renderer draws: mpv's update callback says a frame may be due, mpv_render_context_update
// says whether it is, and a frame for a window waits until the window has swapped the last one
// onto the screen. Each swap (or each frame drawn where no window swaps) is reported to mpv, so its
// frame timing follows the screen and the frames it must drop show in its own drop count.
#include <mpv/render_gl.h>

#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_context.h"

namespace reelhaven {

// libmpv's thread: only schedules a look. The renderer is locked when the block runs, so a look
// scheduled for a renderer that went away does nothing.
void VideoRenderer::renderUpdateCallback(void* context) {
    auto renderer = static_cast<UpdateContext*>(context)->renderer;
    renderQueue()->async([renderer] {
        if (auto self = renderer.lock()) self->update();
    });
}

void VideoRenderer::update() {
    checkRenderQueue("update");
    auto* context = m_renderSlot->mpvRenderContext;
    if (!context || !m_context->makeCurrent()) return;
    // The callback also comes for what needs no drawing; only a due frame is drawn.
    if (mpv_render_context_update(context) & MPV_RENDER_UPDATE_FRAME) m_frameDue = true;
    renderDueFrame();
}

void VideoRenderer::redraw() {
    renderQueue()->async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self) return;
        self->m_frameDue = true;
        self->renderDueFrame();
    });
}

std::shared_ptr<MPVGLKView> VideoRenderer::windowView() const {
    switch (m_renderMethod.load()) {
        case RenderMethod::openGL: return m_openGLView;
        case RenderMethod::legacyExternalDisplay: return m_renderSlot->externalView;
        case RenderMethod::metal:
        case RenderMethod::pictureInPicture: break;
    }
    return nullptr;
}

void VideoRenderer::renderDueFrame() {
    checkRenderQueue("renderDueFrame");
    if (!m_frameDue) return;
    // Drawing now would replace a frame the window has not shown: `frameShown` draws it.
    if (auto view = windowView(); view && view->isAwaitingWindow()) return;
    m_frameDue = false;
    render();
}

bool VideoRenderer::nextFrameIsNew() const {
    auto* context = m_renderSlot->mpvRenderContext;
    if (!context) return false;
    mpv_render_frame_info info{};
    mpv_render_param param{MPV_RENDER_PARAM_NEXT_FRAME_INFO, &info};
    if (mpv_render_context_get_info(context, param) < 0) return true;  // unknown: shown as drawn
    return (info.flags & MPV_RENDER_FRAME_INFO_PRESENT) && !(info.flags & MPV_RENDER_FRAME_INFO_REDRAW);
}

bool VideoRenderer::showIn(MPVGLKView& view) {
    // mpv redraws the frame it showed last on its own: once more about 150 ms after every seek
    // (the reset of its video output asks for it), after OSD or property changes, and `redraw()`
    // does after a layout. Only a redraw whose pixels differ from the frame on screen is handed
    // to the window; a seek's picture is shown once.
    return nextFrameIsNew() ? view.display() : view.displayIfChanged();
}

std::function<void()> VideoRenderer::frameShownHandler() {
    // Called on the window's thread; the view is the renderer's, so only a weak reference.
    return [weak = weak_from_this()] {
        renderQueue()->async([weak] {
            if (auto self = weak.lock()) self->frameShown();
        });
    };
}

void VideoRenderer::frameShown() {
    checkRenderQueue("frameShown");
    reportSwap();
    renderDueFrame();
}

void VideoRenderer::reportSwap() {
    auto* context = m_renderSlot->mpvRenderContext;
    if (context && m_context->makeCurrent()) mpv_render_context_report_swap(context);
}

}  // namespace reelhaven
