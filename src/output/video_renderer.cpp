#include "output/video_renderer.h"

#include <GLES3/gl3.h>
#include <mpv/render_gl.h>

#include "core/preferences.h"
#include "output/external_display_view_controller.h"
#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/sample_buffer_playback_delegate.h"
#include "platform/base/fatal.h"
#include "platform/base/startup_marks.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_context.h"
#include "platform/ui/views/platform_version.h"

namespace reelhaven {

const std::shared_ptr<dispatch::WorkQueue>& VideoRenderer::renderQueue() {
    static const std::shared_ptr<dispatch::WorkQueue> queue =
        dispatch::WorkQueue::create("Reelhaven.renderQueue", dispatch::QoS::userInteractive);
    return queue;
}

std::shared_ptr<VideoRenderer> VideoRenderer::create(std::shared_ptr<MPVGLKView> openGLView,
                                                     std::shared_ptr<MetalHDRView> metalView,
                                                     std::shared_ptr<PictureInPictureView> pictureInPictureView,
                                                     std::shared_ptr<NowPlayingView> nowPlayingView,
                                                     PlaybackInfoPtr playbackInfo,
                                                     std::shared_ptr<Preferences> preferences) {
    ui::checkMainThread();
    if (!openGLView || !metalView || !pictureInPictureView || !nowPlayingView)
        base::fatal("the video renderer needs its four views");
    auto context = gfx::GLContext::create();
    if (!context) base::fatal("no OpenGL ES 3 context for the video renderer");
    return std::shared_ptr<VideoRenderer>(new VideoRenderer(
        std::move(openGLView), std::move(metalView), std::move(pictureInPictureView), std::move(nowPlayingView),
        std::move(playbackInfo), std::move(preferences), std::move(context)));
}

VideoRenderer::VideoRenderer(std::shared_ptr<MPVGLKView> openGLView, std::shared_ptr<MetalHDRView> metalView,
                             std::shared_ptr<PictureInPictureView> pictureInPictureView,
                             std::shared_ptr<NowPlayingView> nowPlayingView, PlaybackInfoPtr playbackInfo,
                             std::shared_ptr<Preferences> preferences, std::shared_ptr<gfx::GLContext> context)
    : m_openGLView(std::move(openGLView)),
      m_metalView(std::move(metalView)),
      m_pictureInPictureView(std::move(pictureInPictureView)),
      m_nowPlayingView(std::move(nowPlayingView)),
      // The shared settings live for the process; a non-owning pointer keeps one type for both.
      m_preferences(preferences ? std::move(preferences)
                                : std::shared_ptr<Preferences>(&Preferences::shared(), [](Preferences*) {})),
      m_context(std::move(context)),
      m_playbackInfo(std::move(playbackInfo)),
      m_renderSlot(makeRenderSlot(m_context, m_openGLView)) {}

std::shared_ptr<VideoRenderer::RenderSlot> VideoRenderer::makeRenderSlot(std::shared_ptr<gfx::GLContext> context,
                                                                         std::shared_ptr<MPVGLKView> view) {
    auto slot = std::make_shared<RenderSlot>();
    slot->context = std::move(context);
    slot->view = std::move(view);
    return slot;
}

VideoRenderer::~VideoRenderer() {
    for (auto token : m_observers) foundation::NotificationCenter::defaultCenter().removeObserver(token);
    // A live render context is freed on the render queue, where its GL context is current. The
    // block owns what it frees.
    auto teardown = [context = m_context, slot = m_renderSlot,
                     offscreen = std::shared_ptr<OffscreenFramebuffer>(std::move(m_offscreen))]() mutable {
        context->makeCurrent();
        slot->free();
        offscreen.reset();
        context->releaseCurrent();
    };
    if (renderQueue()->isCurrent()) {
        teardown();
    } else if (m_renderSlot->live) {
        // Freeing it waits for mpv's core, which may be busy for seconds (the session's teardown
        // may be waiting there already), and the last reference usually goes on the main thread.
        renderQueue()->async(std::move(teardown));
    } else {
        // Nothing of mpv left: what the window shares (the framebuffer) goes before the caller goes on.
        renderQueue()->sync(teardown);
    }
}

void VideoRenderer::checkRenderQueue(const char* what) const {
    if (!renderQueue()->isCurrent()) base::fatal(std::string(what) + " off \"Reelhaven.renderQueue\"");
}

void* VideoRenderer::getProcAddress(void*, const char* name) { return gfx::GLContext::getProcAddress(name); }

std::shared_ptr<media::PictureInPictureController> VideoRenderer::start(mpv_handle* mpv) {
    ui::checkMainThread();
    observeExternalDisplay();
    m_renderMethod = RenderMethod::openGL;
    m_openGLView->setContext(m_context);
    auto& layer = *m_metalView->metalLayer();
    layer.setFramebufferOnly(false);
    layer.setPixelFormat(media::MetalPixelFormat::rgba16Float);

    std::shared_ptr<MPVGLKView> external;
    if (auto controller = ExternalDisplayViewController::current()) {
        external = controller->glkView();
        auto placeholder = controller->placeholderView();
        if (!external || !placeholder) base::fatal("ExternalDisplayViewController: an outlet is not connected");
        m_renderMethod = RenderMethod::legacyExternalDisplay;
        placeholder->setHidden(true);
        external->setHidden(false);
        external->setConnected(external->window() != nullptr);
    }
    showViews(m_renderMethod);
    renderQueue()->sync([&] {
        createRenderContext(mpv);
        if (external) attachExternalView(external);
    });
    if (ui::PlatformVersion::isAtLeast(15) && m_preferences->continueAudioBackground.wrappedValue())
        return setUpPictureInPicture();
    return nullptr;
}

void VideoRenderer::observeExternalDisplay() {
    auto& center = foundation::NotificationCenter::defaultCenter();
    for (auto token : m_observers) center.removeObserver(token);
    m_observers.clear();
    // Posted on the main thread by the second screen's scene; a renderer gone does nothing.
    auto on = [weak = weak_from_this()](void (VideoRenderer::*action)()) {
        return [weak, action](const foundation::Notification&) {
            if (auto self = weak.lock()) ((*self).*action)();
        };
    };
    m_observers.push_back(
        center.addObserver(kExternalDisplayReady, nullptr, on(&VideoRenderer::externalDisplayConnected)));
    m_observers.push_back(
        center.addObserver(kExternalDisplayDisconnected, nullptr, on(&VideoRenderer::externalDisplayDisconnected)));
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
    slot.live = true;
    m_openGLView->setMpvContext(slot.mpvRenderContext);
    m_openGLView->setFrameShownHandler(frameShownHandler());
    // A frame drawn before the window took the view's frames never reached it; paused, mpv draws
    // no other.
    m_openGLView->setPresentationStartedHandler([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->redraw();
    });
    slot.updateContext = std::make_unique<UpdateContext>(UpdateContext{weak_from_this()});
    mpv_render_context_set_update_callback(slot.mpvRenderContext, &VideoRenderer::renderUpdateCallback,
                                           slot.updateContext.get());
}

void VideoRenderer::render() {
    checkRenderQueue("render");
    if (!m_context->makeCurrent()) return;
    bool toWindow = false;
    m_framesRendered.fetch_add(1, std::memory_order_relaxed);
    switch (m_renderMethod.load()) {
        case RenderMethod::openGL: toWindow = showIn(*m_openGLView); break;
        case RenderMethod::metal: renderMetal(); break;
        case RenderMethod::pictureInPicture: renderPictureInPicture(); break;
        case RenderMethod::legacyExternalDisplay:
            if (auto external = m_renderSlot->externalView) toWindow = showIn(*external);
            break;
    }
    base::startupMark("first video frame drawn");
    // A frame handed to a window is reported once the window swapped it (`frameShown`); every
    // other frame is on its way as soon as it is drawn.
    if (!toWindow) reportSwap();
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
    auto made = OffscreenFramebuffer::create(width, height);
    if (!made) return false;  // the old target stays in use
    m_offscreen = std::move(made);
    return true;
}

std::optional<FBOInfo> VideoRenderer::offscreenFramebuffer(int width, int height) {
    if (!m_offscreen || !m_offscreen->hasSize(width, height)) createFBO(width, height);
    return fboInfo();
}

std::optional<FBOInfo> VideoRenderer::fboInfo() const {
    if (!m_offscreen) return std::nullopt;
    return m_offscreen->info();
}

std::shared_ptr<media::PixelBuffer> VideoRenderer::cachedPixelBuffer() const {
    return m_offscreen ? m_offscreen->pixelBuffer() : nullptr;
}

void VideoRenderer::destroyRenderContext() {
    checkRenderQueue("destroyRenderContext");
    m_renderSlot->free();
    m_offscreen.reset();
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
    if (externalView) {
        externalView->setMpvContext(nullptr);
        externalView->setFboIdentifier(-1);
        // The second screen keeps its view for the next player, whose context is another.
        if (context->makeCurrent()) externalView->releaseFramebuffer();
    }
    live = false;
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
    ui::checkMainThread();
    {
        std::lock_guard lock(m_mutex);
        m_playbackInfo = info;
    }
    updateNowPlayingView();
    if (m_sampleBufferPlaybackDelegate) m_sampleBufferPlaybackDelegate->setPlaybackInfo(std::move(info));
}

PlaybackInfoPtr VideoRenderer::playbackInfo() const {
    std::lock_guard lock(m_mutex);
    return m_playbackInfo;
}

void VideoRenderer::updateNowPlayingView() {
    auto info = playbackInfo();
    m_nowPlayingView->video = info ? info->video() : nullptr;
    m_nowPlayingView->update();
}

void VideoRenderer::showViewsLater(RenderMethod method) {
    dispatch::Queue::main()->async([weak = weak_from_this(), method] {
        if (auto self = weak.lock()) self->showViews(method);
    });
}

void VideoRenderer::showViews(RenderMethod method) {
    ui::checkMainThread();
    const bool external = method == RenderMethod::legacyExternalDisplay;
    if (external) updateNowPlayingView();
    m_openGLView->setHidden(external || method == RenderMethod::metal);
    m_metalView->setHidden(method != RenderMethod::metal);
    m_pictureInPictureView->setHidden(external);
    m_nowPlayingView->setHidden(!external);
}

}  // namespace reelhaven
