#include "output/video_renderer.h"

#include <GLES3/gl3.h>
#include <mpv/render_gl.h>

#include "output/mpv_glk_view.h"
#include "platform/base/fatal.h"
#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_context.h"

namespace reelhaven {

const std::shared_ptr<dispatch::WorkQueue>& VideoRenderer::renderQueue() {
    static const std::shared_ptr<dispatch::WorkQueue> queue =
        dispatch::WorkQueue::create("Reelhaven.renderQueue", dispatch::QoS::userInteractive);
    return queue;
}

std::shared_ptr<VideoRenderer> VideoRenderer::create(std::shared_ptr<MPVGLKView> openGLView,
                                                     PlaybackInfoPtr playbackInfo) {
    auto context = gfx::GLContext::create();
    if (!context) base::fatal("no OpenGL ES 3 context for the video renderer");
    return std::shared_ptr<VideoRenderer>(
        new VideoRenderer(std::move(openGLView), std::move(playbackInfo), std::move(context)));
}

VideoRenderer::VideoRenderer(std::shared_ptr<MPVGLKView> openGLView, PlaybackInfoPtr playbackInfo,
                             std::shared_ptr<gfx::GLContext> context)
    : m_openGLView(std::move(openGLView)),
      m_context(std::move(context)),
      m_playbackInfo(std::move(playbackInfo)),
      m_renderSlot(std::make_shared<RenderSlot>(RenderSlot{m_context, m_openGLView, nullptr, nullptr})) {}

VideoRenderer::~VideoRenderer() {
    // A live render context is freed on the render queue, where its GL context is current.
    auto teardown = [this] {
        m_context->makeCurrent();
        destroyRenderContext();
        deleteOffscreenFramebuffer();
        m_context->releaseCurrent();
    };
    if (renderQueue()->isCurrent()) {
        teardown();
    } else {
        renderQueue()->sync(teardown);
    }
}

void VideoRenderer::checkRenderQueue(const char* what) const {
    if (!renderQueue()->isCurrent()) base::fatal(std::string(what) + " off \"Reelhaven.renderQueue\"");
}

void* VideoRenderer::getProcAddress(void*, const char* name) { return gfx::GLContext::getProcAddress(name); }

void VideoRenderer::start(mpv_handle* mpv) {
    m_renderMethod = RenderMethod::openGL;
    m_openGLView->setContext(m_context);
    renderQueue()->sync([&] { createRenderContext(mpv); });
}

void VideoRenderer::createRenderContext(mpv_handle* mpv) {
    if (!m_context->makeCurrent()) base::fatal("the renderer's GL context cannot be made current");
    mpv_opengl_init_params init{&VideoRenderer::getProcAddress, nullptr};
    char apiType[] = MPV_RENDER_API_TYPE_OPENGL;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, apiType},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &init},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    auto& slot = *m_renderSlot;
    if (!mpv || mpv_render_context_create(&slot.mpvRenderContext, mpv, params) < 0)
        base::fatal("libmpv refused the OpenGL render context");
    m_openGLView->setMpvContext(slot.mpvRenderContext);
    slot.updateContext = std::make_unique<UpdateContext>(UpdateContext{weak_from_this()});
    mpv_render_context_set_update_callback(slot.mpvRenderContext, &VideoRenderer::renderUpdateCallback,
                                           slot.updateContext.get());
}

// libmpv's thread: only schedules a render. The renderer is locked when the block runs, so a
// render scheduled for a renderer that went away does nothing.
void VideoRenderer::renderUpdateCallback(void* context) {
    auto renderer = static_cast<UpdateContext*>(context)->renderer;
    renderQueue()->async([renderer] {
        if (auto self = renderer.lock()) self->render();
    });
}

void VideoRenderer::redraw() {
    renderQueue()->async([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->render();
    });
}

void VideoRenderer::render() {
    checkRenderQueue("render");
    if (!m_context->makeCurrent()) return;
    switch (m_renderMethod) {
        case RenderMethod::openGL: m_openGLView->display(); break;
        // The HDR layer, picture in picture and the second screen have no output here yet.
        case RenderMethod::metal:
        case RenderMethod::pictureInPicture:
        case RenderMethod::legacyExternalDisplay: break;
    }
}

void VideoRenderer::renderToFBO(const FBOInfo& fbo) {
    checkRenderQueue("renderToFBO");
    if (!m_renderSlot->mpvRenderContext) return;
    mpv_opengl_fbo target{fbo.identifier, fbo.renderWidth, fbo.renderHeight, 0};
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &target},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    mpv_render_context_render(m_renderSlot->mpvRenderContext, params);
}

bool VideoRenderer::createFBO(int width, int height) {
    checkRenderQueue("createFBO");
    if (width <= 0 || height <= 0) return false;
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, width, height, 0, GL_RGBA, GL_HALF_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &previous);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    bool complete = glGetError() == GL_NO_ERROR && glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(previous));
    if (!complete) {
        // The old framebuffer stays in use; nothing half-made is kept.
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteTextures(1, &texture);
        return false;
    }
    deleteOffscreenFramebuffer();
    m_offscreenTexture = texture;
    m_fboInfo = FBOInfo{static_cast<int>(framebuffer), width, height};
    return true;
}

std::optional<FBOInfo> VideoRenderer::offscreenFramebuffer(int width, int height) {
    if (!m_fboInfo || m_fboInfo->renderWidth != width || m_fboInfo->renderHeight != height) createFBO(width, height);
    return m_fboInfo;
}

void VideoRenderer::deleteOffscreenFramebuffer() {
    if (m_fboInfo) {
        GLuint framebuffer = static_cast<GLuint>(m_fboInfo->identifier);
        glDeleteFramebuffers(1, &framebuffer);
    }
    if (m_offscreenTexture) glDeleteTextures(1, &m_offscreenTexture);
    m_fboInfo.reset();
    m_offscreenTexture = 0;
}

void VideoRenderer::destroyRenderContext() {
    checkRenderQueue("destroyRenderContext");
    m_renderSlot->free();
    optionsDelegate.reset();
}

void VideoRenderer::RenderSlot::free() {
    if (mpvRenderContext) {
        context->makeCurrent();
        mpv_render_context_free(mpvRenderContext);  // no update callback after this returns
    }
    mpvRenderContext = nullptr;
    updateContext.reset();
    view->setMpvContext(nullptr);
}

std::function<void()> VideoRenderer::renderContextReleaser() const {
    // The slot, not the renderer: a renderer already gone has freed it, and one whose destructor
    // is still to run (on the render queue, or on another thread) would free it too late.
    return [slot = m_renderSlot] {
        if (renderQueue()->isCurrent()) {
            slot->free();
        } else {
            renderQueue()->sync([&] { slot->free(); });
        }
    };
}

void VideoRenderer::updatePlaybackInfo(PlaybackInfoPtr info) {
    std::lock_guard lock(m_mutex);
    m_playbackInfo = std::move(info);
}

PlaybackInfoPtr VideoRenderer::playbackInfo() const {
    std::lock_guard lock(m_mutex);
    return m_playbackInfo;
}

void VideoRenderer::setHDRMetadata(std::optional<HDRMetadata> metadata) {
    if (metadata) {
        // Queued on the player's command queue: no client call may be made on the render thread.
        if (auto options = optionsDelegate.lock()) {
            options->setStringProperty("target-prim", metadata->primaries);
            options->setStringProperty("target-trc", metadata->gamma);
        }
    }
    renderQueue()->async([weak = weak_from_this(), metadata = std::move(metadata)] {
        if (auto self = weak.lock()) self->m_hdrMetadata = metadata;
    });
}

}  // namespace reelhaven
