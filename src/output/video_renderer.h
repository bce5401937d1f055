#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "output/render_method.h"
#include "playback/model/hdr_metadata.h"
#include "playback/model/mpv_options_delegate.h"
#include "playback/model/playback_info.h"
#include "playback/model/video_control_delegate.h"

struct mpv_handle;
struct mpv_render_context;

namespace dispatch {
class WorkQueue;
}
namespace gfx {
class GLContext;
}

namespace reelhaven {

class MPVGLKView;

// Draws the frames of the player's mpv handle through libmpv's OpenGL render API.
//
// Threads: everything that touches GL or the render context runs on "Reelhaven.renderQueue", a
// WorkQueue whose one thread makes the renderer's GLES 3 context current (EGL refuses a context
// another thread still holds). libmpv's render rules forbid client calls on that thread, so the
// renderer's "target-prim"/"target-trc" writes go through the options delegate to the player's
// command queue. The update callback only schedules `render()`; its context is a weak reference
// freed after the render context, so it cannot dangle.
//
// The render context lives in a slot shared with the hook `renderContextReleaser()` hands to the
// session: the handle must outlive the render context, and a render still running when the last
// owner lets go makes the renderer's destructor run later on the render queue, so the session
// cannot rely on the renderer still being there to free it.
//
// Render-queue state: `m_renderMethod`, `m_hdrMetadata`, `m_fboInfo`, the offscreen texture, the
// render context slot. `m_playbackInfo` is guarded by `m_mutex`.
class VideoRenderer : public std::enable_shared_from_this<VideoRenderer> {
public:
    // Main thread. Fatal when no GLES 3 context can be made.
    static std::shared_ptr<VideoRenderer> create(std::shared_ptr<MPVGLKView> openGLView, PlaybackInfoPtr playbackInfo);
    ~VideoRenderer();
    VideoRenderer(const VideoRenderer&) = delete;
    VideoRenderer& operator=(const VideoRenderer&) = delete;

    // The one render queue of the process, made on first use.
    static const std::shared_ptr<dispatch::WorkQueue>& renderQueue();

    std::weak_ptr<VideoControlDelegate> controlDelegate;
    std::weak_ptr<MPVOptionsDelegate> optionsDelegate;

    // Main thread: creates the render context on the render queue from `mpv` (fatal when
    // libmpv refuses) and starts drawing into the OpenGL view.
    void start(mpv_handle* mpv);
    // Render queue: draws one frame by the current method.
    void render();
    // Any thread: schedules `render()`.
    void redraw();
    // Render queue: the current frame into `fbo`, at the framebuffer's own size, unflipped.
    void renderToFBO(const FBOInfo& fbo);
    // Render queue: makes the RGBA16F offscreen framebuffer of that size and replaces the old
    // one, only once the new one is complete; false (the old one kept) when it cannot be made.
    bool createFBO(int width, int height);
    // Render queue: the offscreen framebuffer of that size, made when missing or of another
    // size; none when it cannot be made.
    std::optional<FBOInfo> offscreenFramebuffer(int width, int height);
    std::optional<FBOInfo> fboInfo() const { return m_fboInfo; }
    // Render queue: frees the render context; later renders draw nothing through mpv.
    void destroyRenderContext();
    bool hasRenderContext() const { return m_renderSlot->mpvRenderContext != nullptr; }
    // Any thread, before the handle `start` was given is destroyed: frees
    // the render context on the render queue and returns once it is gone, whether or not the
    // renderer still exists (or is being destroyed on another thread).
    std::function<void()> renderContextReleaser() const;

    // Main thread: the record of the file now loaded.
    void updatePlaybackInfo(PlaybackInfoPtr info);
    PlaybackInfoPtr playbackInfo() const;
    // Main thread: HDR metadata of the video, or none. The target colorimetry goes to mpv
    // through the command queue.
    void setHDRMetadata(std::optional<HDRMetadata> metadata);
    RenderMethod renderMethod() const { return m_renderMethod; }
    const std::shared_ptr<MPVGLKView>& openGLView() const { return m_openGLView; }
    const std::shared_ptr<gfx::GLContext>& context() const { return m_context; }

    // libmpv's symbol lookup: the GL function of that name, null when there is none.
    static void* getProcAddress(void* context, const char* name);

private:
    VideoRenderer(std::shared_ptr<MPVGLKView> openGLView, PlaybackInfoPtr playbackInfo,
                  std::shared_ptr<gfx::GLContext> context);
    static void renderUpdateCallback(void* context);
    void createRenderContext(mpv_handle* mpv);
    void deleteOffscreenFramebuffer();
    void checkRenderQueue(const char* what) const;

    const std::shared_ptr<MPVGLKView> m_openGLView;
    const std::shared_ptr<gfx::GLContext> m_context;

    mutable std::mutex m_mutex;  // guards m_playbackInfo
    PlaybackInfoPtr m_playbackInfo;

    // Render queue.
    RenderMethod m_renderMethod = RenderMethod::openGL;
    std::optional<HDRMetadata> m_hdrMetadata;
    std::optional<FBOInfo> m_fboInfo;
    unsigned m_offscreenTexture = 0;  // the storage of m_fboInfo
    struct UpdateContext {
        std::weak_ptr<VideoRenderer> renderer;
    };
    // Render queue. Holds what freeing the render context needs, so it outlives the renderer.
    struct RenderSlot {
        std::shared_ptr<gfx::GLContext> context;
        std::shared_ptr<MPVGLKView> view;
        mpv_render_context* mpvRenderContext = nullptr;
        std::unique_ptr<UpdateContext> updateContext;
        // Idempotent.
        void free();
    };
    const std::shared_ptr<RenderSlot> m_renderSlot;
};

}  // namespace reelhaven
