#include "output/mpv_glk_view.h"

#include <GLES3/gl3.h>
#include <mpv/render_gl.h>

#include "platform/ui/views/window.h"

namespace reelhaven {

std::shared_ptr<MPVGLKView> MPVGLKView::create(const ui::Rect& frame) {
    return std::shared_ptr<MPVGLKView>(new MPVGLKView(frame));
}

void MPVGLKView::draw(const ui::Rect& rect) {
    // Only inside `display()`, on the render queue with the framebuffer bound; the ordinary
    // recording path of views has nothing to draw here.
    if (!isDisplaying()) return;
    if (m_fboIdentifier == -1) {
        GLint bound = 0;
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        m_fboIdentifier = bound;
    }
    if (!m_mpvContext) {
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    if (!m_connected) return;
    // The drawable as `display()` sized it (the main thread may be resizing the view meanwhile).
    mpv_opengl_fbo fbo{m_fboIdentifier, static_cast<int>(rect.size.width), static_cast<int>(rect.size.height), 0};
    // mpv's own orientation, top row at GL's y = 0 (see `drawsTopRowFirst`), rather than the
    // flip a GL-upright framebuffer would need: the window copies such frames row for row.
    int flipY = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(m_mpvContext, params);
}

void MPVGLKView::didMoveToWindow() {
    GLView::didMoveToWindow();
    m_connected = window() != nullptr;
}

void MPVGLKView::layoutSubviews() {
    GLView::layoutSubviews();
    if (auto delegate = layoutDelegate.lock()) delegate->videoViewDidLayoutSubviews();
}

}  // namespace reelhaven
