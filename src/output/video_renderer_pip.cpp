// Picture in picture: the controller and its content source, the render size, sample buffers and
// the controller's callbacks.
#include <cmath>

#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/now_playing_view.h"
#include "output/picture_in_picture_view.h"
#include "output/pixel_size.h"
#include "output/sample_buffer_playback_delegate.h"
#include "output/video_renderer.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/work_queue.h"
#include "platform/foundation/debounce.h"
#include "platform/graphics/gl_context.h"
#include "platform/media/audio_session.h"
#include "platform/ui/views/platform_version.h"

namespace reelhaven {
namespace {
// The window reports every size while the user drags it; the target is rebuilt once it rests.
constexpr auto kRenderSizeDebounce = std::chrono::seconds(1);
}  // namespace

std::shared_ptr<media::PictureInPictureController> VideoRenderer::setUpPictureInPicture() {
    ui::checkMainThread();
    auto layer = m_pictureInPictureView->sampleBufferDisplayLayer();
    auto delegate = SampleBufferPlaybackDelegate::create(playbackInfo());
    delegate->controlDelegate = controlDelegate;
    m_cancellables.clear();
    foundation::debounce<media::VideoDimensions>(delegate->renderingSizeSubject, kRenderSizeDebounce,
                                                 [weak = weak_from_this()](const media::VideoDimensions& size) {
                                                     auto self = weak.lock();
                                                     if (!self) return;
                                                     const int scale =
                                                         static_cast<int>(screenScale(*self->m_openGLView));
                                                     renderQueue()->async([weak, size, scale] {
                                                         if (auto self = weak.lock()) {
                                                             self->m_pictureInPictureSize = size;
                                                             self->m_pictureInPictureScale = scale;
                                                         }
                                                     });
                                                 })
        .store(m_cancellables);
    m_sampleBufferPlaybackDelegate = delegate;
    auto controller = media::PictureInPictureController::create({layer, delegate});
    m_pictureInPictureController = controller;
    controller->setDelegate(std::static_pointer_cast<media::PictureInPictureControllerDelegate>(shared_from_this()));
    controller->setCanStartPictureInPictureAutomaticallyFromInline(true);
    return controller;
}

void VideoRenderer::setPictureInPictureRenderTarget(double width, double height) {
    ui::checkMainThread();
    if (!ui::PlatformVersion::isAtLeast(15)) return;
    auto controller = m_pictureInPictureController.lock();
    if (!controller || controller->isPictureInPictureActive().value()) return;
    const PixelSize target{truncatedPixels(width), truncatedPixels(height)};
    renderQueue()->async([weak = weak_from_this(), target] {
        auto self = weak.lock();
        if (!self) return;
        self->m_pictureInPictureRenderTarget = target;
        if (!self->m_context->makeCurrent()) return;
        auto sample = self->makeSampleBuffer(target.width, target.height);
        if (!sample) return;
        dispatch::Queue::main()->async([weak, sample] {
            auto self = weak.lock();
            if (!self) return;
            auto& layer = *self->m_pictureInPictureView->sampleBufferDisplayLayer();
            layer.flushAndRemoveImage();
            layer.enqueue(sample);
        });
    });
}

void VideoRenderer::renderPictureInPicture() {
    checkRenderQueue("renderPictureInPicture");
    PixelSize inlineSize{m_openGLView->drawableWidth(), m_openGLView->drawableHeight()};
    if (usableHDRMetadata()) {
        const auto drawable = m_metalView->metalLayer()->drawableSize();
        inlineSize = {truncatedPixels(drawable.width), truncatedPixels(drawable.height)};
    }
    const auto size = pictureInPictureRenderSize(m_pictureInPictureSize, m_pictureInPictureScale,
                                                 m_pictureInPictureRenderTarget, inlineSize);
    auto fbo = offscreenFramebuffer(size.width, size.height);
    if (!fbo) return;
    renderToFBO(*fbo);
    auto sample = makeSampleBuffer(std::nullopt, std::nullopt);
    if (!sample) return;
    dispatch::Queue::main()->async([weak = weak_from_this(), sample] {
        if (auto self = weak.lock()) self->enqueueSampleBuffer(sample);
    });
}

std::shared_ptr<media::SampleBuffer> VideoRenderer::makeSampleBuffer(std::optional<int> width,
                                                                     std::optional<int> height) {
    checkRenderQueue("makeSampleBuffer");
    std::shared_ptr<media::PixelBuffer> pixels;
    if (m_offscreen) {
        // The read-back is the frame's one copy: the sample owns its pixels, so the next frame
        // drawn into the target does not change what the window shows.
        pixels = m_offscreen->readBackCopy();
    } else if (width && height) {
        pixels = media::PixelBuffer::create(*width, *height, media::PixelFormat::rgba64Half);
    }
    if (!pixels) return nullptr;
    pixels->lockBaseAddress();
    std::shared_ptr<media::SampleBuffer> sample;
    if (auto description = media::VideoFormatDescription::create(pixels)) {
        sample = media::SampleBuffer::createReadyWithImageBuffer(pixels, description, media::SampleTimingInfo{});
        if (sample) sample->setAttachment(media::kSampleAttachmentKeyDisplayImmediately, true);
    }
    pixels->unlockBaseAddress();
    return sample;
}

void VideoRenderer::enqueueSampleBuffer(const std::shared_ptr<media::SampleBuffer>& sampleBuffer) {
    ui::checkMainThread();
    auto& layer = *m_pictureInPictureView->sampleBufferDisplayLayer();
    // Flushing would interrupt audio another app plays; the buffer is enqueued either way.
    if (layer.status() == media::SampleBufferDisplayLayer::Status::failed &&
        !media::AudioSession::shared()->isOtherAudioPlaying())
        layer.flushAndRemoveImage();
    layer.enqueue(sampleBuffer);
}

void VideoRenderer::willStartPictureInPicture(media::PictureInPictureController& controller) {
    m_isEnteringPiP = true;
    renderQueue()->sync([this] {
        if (usableHDRMetadata()) writeTargets("auto", "auto");
        m_renderMethod = RenderMethod::pictureInPicture;
        render();
    });
    if (ui::PlatformVersion::isAtLeast(15)) controller.invalidatePlaybackState();
}

void VideoRenderer::didStartPictureInPicture(media::PictureInPictureController&) {
    m_isEnteringPiP = false;
    m_openGLView->setHidden(true);
    m_metalView->setHidden(true);
    m_nowPlayingView->setHidden(true);
    m_pictureInPictureView->setAlpha(1);
}

void VideoRenderer::willStopPictureInPicture(media::PictureInPictureController&) {
    renderQueue()->async([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self) return;
        if (self->m_renderSlot->externalView) {
            self->m_renderMethod = RenderMethod::legacyExternalDisplay;
        } else {
            self->returnToDevice();
        }
    });
}

void VideoRenderer::didStopPictureInPicture(media::PictureInPictureController&) {
    const RenderMethod method = renderQueue()->syncValue([this] { return m_renderMethod.load(); });
    switch (method) {
        case RenderMethod::openGL: m_openGLView->setHidden(false); break;
        case RenderMethod::metal: m_metalView->setHidden(false); break;
        case RenderMethod::legacyExternalDisplay: m_nowPlayingView->setHidden(false); break;
        case RenderMethod::pictureInPicture: return;
    }
    m_pictureInPictureView->setAlpha(0);
    // No picture-in-picture render can run any more: the method changed in will-stop.
    renderQueue()->sync([this] {
        m_pictureInPictureSize.reset();
        render();
    });
}

}  // namespace reelhaven
