#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "output/offscreen_framebuffer.h"
#include "output/picture_in_picture_size.h"
#include "output/render_method.h"
#include "platform/foundation/cancellable.h"
#include "platform/foundation/notification_center.h"
#include "platform/media/picture_in_picture_controller.h"
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

class MetalHDRView;
class MPVGLKView;
class NowPlayingView;
class PictureInPictureView;
class Preferences;
class SampleBufferPlaybackDelegate;

// Draws the frames of the player's mpv handle through libmpv's OpenGL render API, to one of four
// places (`RenderMethod`): the device's GL view, the HDR Metal view, picture-in-picture sample
// buffers, or the second screen's GL view.
//
// Threads:
// - Main thread: creation, `start`, `updatePlaybackInfo`, `setHDRMetadata`'s layer settings, the
//   second-screen notifications, the picture-in-picture callbacks and every view change.
// - "Reelhaven.renderQueue", a WorkQueue whose one thread makes the renderer's GLES 3 context
//   current (EGL refuses a context another thread still holds): all GL, the render context, and
//   the render-queue state below. Every change of the method after `start` is made there.
// - libmpv's threads: only the update callback, which schedules a look at what is due; its context is a
//   weak reference freed after the render context, so it cannot dangle.
// libmpv forbids client calls on the render thread, so "target-prim"/"target-trc" go through the
// options delegate to the player's command queue. The main thread waits on the render queue in
// the picture-in-picture will-start and did-stop callbacks only; no render block waits on it.
//
// The render context lives in a slot shared with the hook `renderContextReleaser()` hands to the
// session: the handle must outlive the render context, and a render still running when the last
// owner lets go makes the renderer's destructor run later on the render queue, so the session
// cannot rely on the renderer still being there to free it. The slot also holds the second
// screen's view, which is handed over on the render queue only.
//
// Where each member lives:
// - video_renderer.cpp: creation, `start`, `render`, the render context, the offscreen target,
//   `updatePlaybackInfo`, the view switches.
// - video_renderer_hdr.cpp: `setHDRMetadata`, `renderMetal`, the target writes.
// - video_renderer_pacing.cpp: when frames are drawn, and the swaps reported to mpv.
// - video_renderer_pip.cpp: picture in picture (set-up, size rule, sample buffers, callbacks).
// - video_renderer_external.cpp: the second screen's connection and disconnection.
class VideoRenderer : public std::enable_shared_from_this<VideoRenderer>,
                      public media::PictureInPictureControllerDelegate {
public:
    // Main thread. Fatal when no GLES 3 context can be made. `preferences` null: the shared ones.
    static std::shared_ptr<VideoRenderer> create(std::shared_ptr<MPVGLKView> openGLView,
                                                 std::shared_ptr<MetalHDRView> metalView,
                                                 std::shared_ptr<PictureInPictureView> pictureInPictureView,
                                                 std::shared_ptr<NowPlayingView> nowPlayingView,
                                                 PlaybackInfoPtr playbackInfo,
                                                 std::shared_ptr<Preferences> preferences = nullptr);
    ~VideoRenderer() override;
    VideoRenderer(const VideoRenderer&) = delete;
    VideoRenderer& operator=(const VideoRenderer&) = delete;

    // The one render queue of the process, made on first use.
    static const std::shared_ptr<dispatch::WorkQueue>& renderQueue();

    std::weak_ptr<VideoControlDelegate> controlDelegate;
    std::weak_ptr<MPVOptionsDelegate> optionsDelegate;

    // ---- video_renderer.cpp
    // Main thread: observes the second screen, picks the first method (the second screen when one
    // is there), creates the render context from `mpv` (fatal when libmpv refuses) and returns the
    // picture-in-picture controller, or none when the system or the "continue audio in the
    // background" setting rules it out. The caller keeps the controller.
    std::shared_ptr<media::PictureInPictureController> start(mpv_handle* mpv);
    // Render queue: draws one frame by the current method now.
    void render();
    // Any thread: draws the current frame again, once the window has shown the one before.
    void redraw();
    // Render queue: the current frame into `fbo`, at the framebuffer's own size, unflipped.
    void renderToFBO(const FBOInfo& fbo);
    // Render queue: makes the RGBA16F offscreen target of that size and replaces the old one, only
    // once the new one is complete; false (the old one kept) when it cannot be made.
    bool createFBO(int width, int height);
    // Render queue: the offscreen target of that size, made when missing or of another size;
    // none when it cannot be made.
    std::optional<FBOInfo> offscreenFramebuffer(int width, int height);
    std::optional<FBOInfo> fboInfo() const;
    // Render queue: the storage of the offscreen target, none without one.
    std::shared_ptr<media::PixelBuffer> cachedPixelBuffer() const;
    // Render queue: frees the render context and the offscreen target; later renders draw
    // nothing through mpv.
    void destroyRenderContext();
    bool hasRenderContext() const { return m_renderSlot->mpvRenderContext != nullptr; }
    // Any thread, before the handle `start` was given is destroyed: frees the render context on
    // the render queue and returns once it is gone, whether or not the renderer still exists (or
    // is being destroyed on another thread).
    std::function<void()> renderContextReleaser() const;

    // Main thread: the record of the file now loaded; the now-playing view shows its video.
    void updatePlaybackInfo(PlaybackInfoPtr info);
    PlaybackInfoPtr playbackInfo() const;
    // Any thread (render-queue state, atomic so tests and the player may look).
    RenderMethod renderMethod() const { return m_renderMethod.load(); }
    // True from the will-start callback of picture in picture to its did-start. Any thread.
    bool isEnteringPiP() const { return m_isEnteringPiP.load(); }
    // Any thread: frames drawn through mpv by the GL, Metal, picture-in-picture or second-screen
    // method, whether or not a window was handed them (a redraw that changes nothing is not).
    std::uint64_t framesRendered() const { return m_framesRendered.load(std::memory_order_relaxed); }

    const std::shared_ptr<MPVGLKView>& openGLView() const { return m_openGLView; }
    const std::shared_ptr<MetalHDRView>& metalView() const { return m_metalView; }
    const std::shared_ptr<PictureInPictureView>& pictureInPictureView() const { return m_pictureInPictureView; }
    const std::shared_ptr<NowPlayingView>& nowPlayingView() const { return m_nowPlayingView; }
    const std::shared_ptr<gfx::GLContext>& context() const { return m_context; }
    // Render queue: the second screen's GL view while one is in use.
    std::shared_ptr<MPVGLKView> externalOpenGLView() const { return m_renderSlot->externalView; }

    // libmpv's symbol lookup: the GL function of that name, null when there is none.
    static void* getProcAddress(void* context, const char* name);

    // ---- video_renderer_hdr.cpp
    // Main thread: the HDR metadata of the video, or none for SDR. With metadata the Metal layer
    // takes its EDR settings at once; the render queue stores it and, while the device shows the
    // video (GL or Metal), writes its targets and switches to Metal. During picture in picture or
    // on the second screen it is only stored, for when they end. None drops what was stored and
    // leaves Metal for GL. Only on systems with HDR output (16 and later).
    void setHDRMetadata(std::optional<HDRMetadata> metadata);
    // Render queue: the metadata stored.
    std::optional<HDRMetadata> hdrMetadata() const { return m_hdrMetadata; }
    // Render queue: renders at the Metal view's pixel size into the offscreen target, reads it
    // back and shows it on the Metal layer.
    void renderMetal();

    // ---- video_renderer_pip.cpp
    // Main thread: the controller, its content source and playback delegate (`start` calls it).
    std::shared_ptr<media::PictureInPictureController> setUpPictureInPicture();
    // Main thread: the video's size in pixels as it will be shown. Outside picture in picture
    // the display layer then holds one picture of it: the last frame, else an empty one.
    void setPictureInPictureRenderTarget(double width, double height);
    // Render queue: one frame at the size rule's size, enqueued on the main queue.
    void renderPictureInPicture();
    // Render queue: a sample buffer of the offscreen target's pixels, else an empty one of the
    // given size; none when neither can be made.
    std::shared_ptr<media::SampleBuffer> makeSampleBuffer(std::optional<int> width, std::optional<int> height);
    // Main thread: onto the display layer, flushing a failed layer first unless other audio plays.
    void enqueueSampleBuffer(const std::shared_ptr<media::SampleBuffer>& sampleBuffer);
    std::shared_ptr<SampleBufferPlaybackDelegate> sampleBufferPlaybackDelegate() const {
        return m_sampleBufferPlaybackDelegate;
    }
    // Render queue.
    std::optional<PixelSize> pictureInPictureRenderTarget() const { return m_pictureInPictureRenderTarget; }
    std::optional<media::VideoDimensions> pictureInPictureSize() const { return m_pictureInPictureSize; }

    void willStartPictureInPicture(media::PictureInPictureController& controller) override;
    void didStartPictureInPicture(media::PictureInPictureController& controller) override;
    void willStopPictureInPicture(media::PictureInPictureController& controller) override;
    void didStopPictureInPicture(media::PictureInPictureController& controller) override;

    // ---- video_renderer_external.cpp
    // Main thread ("externalDisplayReady"): the second screen's GL view takes the frames and the
    // device shows the now-playing view. During picture in picture the view is handed over but
    // the window keeps the frames; the method follows when it ends.
    void externalDisplayConnected();
    // Main thread ("externalDisplayDisconnected"): the view is let go; the device shows the video
    // again (Metal with stored HDR metadata, else GL), unless picture in picture has the frames.
    void externalDisplayDisconnected();

private:
    VideoRenderer(std::shared_ptr<MPVGLKView> openGLView, std::shared_ptr<MetalHDRView> metalView,
                  std::shared_ptr<PictureInPictureView> pictureInPictureView,
                  std::shared_ptr<NowPlayingView> nowPlayingView, PlaybackInfoPtr playbackInfo,
                  std::shared_ptr<Preferences> preferences, std::shared_ptr<gfx::GLContext> context);
    static void renderUpdateCallback(void* context);
    // ---- video_renderer_pacing.cpp
    // Frames are drawn when mpv says one is due, and one at a time to a window: the next only
    // once the window swapped the last onto the screen. Each swap is reported to mpv, which times
    // its frames (and counts those it must drop) by them.
    // Render queue: asks mpv what its update callback meant and draws a frame that is due.
    void update();
    // Render queue: draws the due frame unless the window still has to show the last one.
    void renderDueFrame();
    // Render queue: the window swapped the last frame onto the screen (or let it go unseen).
    void frameShown();
    void reportSwap();
    // Render queue: whether mpv's next frame is a new picture, not a redraw of the last one.
    bool nextFrameIsNew() const;
    // Render queue: draws the frame into a GL view, handing it to the window unless it is a
    // redraw with the same pixels. True when the window will say it showed it.
    bool showIn(MPVGLKView& view);
    // For the GL views: the window's word that a frame was shown, passed to the render queue.
    std::function<void()> frameShownHandler();
    // Render queue: the view the window takes the current method's frames from, if any.
    std::shared_ptr<MPVGLKView> windowView() const;
    void createRenderContext(mpv_handle* mpv);
    void observeExternalDisplay();
    void checkRenderQueue(const char* what) const;
    // Main queue, later: the device's views as `method` shows them (GL, Metal or the second
    // screen's now-playing view; picture in picture has its own callbacks).
    void showViewsLater(RenderMethod method);
    void showViews(RenderMethod method);
    // Main thread: the now-playing view shows the current video.
    void updateNowPlayingView();
    // Render queue: the colorimetry mpv renders for, through the player's command queue.
    void writeTargets(const std::string& primaries, const std::string& gamma);
    // Render queue: the stored metadata when HDR output is available, else none.
    std::optional<HDRMetadata> usableHDRMetadata() const;
    // Render queue: leaves picture in picture or the second screen for the device: Metal (with
    // the targets written again) when HDR metadata is stored, else GL.
    RenderMethod returnToDevice();
    // Render queue: hands the render context to the second screen's view.
    void attachExternalView(const std::shared_ptr<MPVGLKView>& view);
    void detachExternalView();

    const std::shared_ptr<MPVGLKView> m_openGLView;
    const std::shared_ptr<MetalHDRView> m_metalView;
    const std::shared_ptr<PictureInPictureView> m_pictureInPictureView;
    const std::shared_ptr<NowPlayingView> m_nowPlayingView;
    const std::shared_ptr<Preferences> m_preferences;
    const std::shared_ptr<gfx::GLContext> m_context;

    mutable std::mutex m_mutex;  // guards m_playbackInfo
    PlaybackInfoPtr m_playbackInfo;

    std::atomic<RenderMethod> m_renderMethod{RenderMethod::openGL};
    std::atomic<bool> m_isEnteringPiP{false};
    std::atomic<std::uint64_t> m_framesRendered{0};

    // Main thread.
    std::weak_ptr<media::PictureInPictureController> m_pictureInPictureController;
    std::shared_ptr<SampleBufferPlaybackDelegate> m_sampleBufferPlaybackDelegate;
    std::vector<foundation::Cancellable> m_cancellables;
    std::vector<foundation::NotificationCenter::Token> m_observers;

    // Render queue.
    bool m_frameDue = false;
    std::optional<HDRMetadata> m_hdrMetadata;
    std::unique_ptr<OffscreenFramebuffer> m_offscreen;
    std::optional<PixelSize> m_pictureInPictureRenderTarget;
    std::optional<media::VideoDimensions> m_pictureInPictureSize;
    int m_pictureInPictureScale = 1;  // the device screen's, taken with the window's size

    struct UpdateContext {
        std::weak_ptr<VideoRenderer> renderer;
    };
    // Render queue. Holds what freeing the render context needs, so it outlives the renderer.
    struct RenderSlot {
        std::shared_ptr<gfx::GLContext> context;
        std::shared_ptr<MPVGLKView> view;
        std::shared_ptr<MPVGLKView> externalView;
        mpv_render_context* mpvRenderContext = nullptr;
        std::unique_ptr<UpdateContext> updateContext;
        // Any thread: from the render context's creation until `free` has returned (freeing it
        // waits for mpv's core).
        std::atomic<bool> live{false};
        // Idempotent.
        void free();
    };
    static std::shared_ptr<RenderSlot> makeRenderSlot(std::shared_ptr<gfx::GLContext> context,
                                                      std::shared_ptr<MPVGLKView> view);
    const std::shared_ptr<RenderSlot> m_renderSlot;
};

}  // namespace reelhaven
