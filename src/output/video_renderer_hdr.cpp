// HDR output: the Metal view and the switch between GL and Metal.
#include <GLES3/gl3.h>

#include "output/metal_hdr_view.h"
#include "output/mpv_glk_view.h"
#include "output/video_renderer.h"
#include "platform/dispatch/work_queue.h"
#include "platform/graphics/gl_context.h"
#include "platform/ui/views/platform_version.h"

namespace reelhaven {
namespace {
bool hdrOutputAvailable() { return ui::PlatformVersion::isAtLeast(16); }
}  // namespace

void VideoRenderer::setHDRMetadata(std::optional<HDRMetadata> metadata) {
    ui::checkMainThread();
    if (!hdrOutputAvailable()) return;
    if (metadata) {
        // Before the render queue hears of it, so the first Metal frame has them.
        auto& layer = *m_metalView->metalLayer();
        layer.setWantsExtendedDynamicRangeContent(true);
        layer.setEdrMetadata(metadata->edrMetadata);
        layer.setColorSpace(metadata->colorSpace);
    }
    renderQueue()->async([weak = weak_from_this(), metadata = std::move(metadata)] {
        auto self = weak.lock();
        if (!self) return;
        self->m_hdrMetadata = metadata;
        const RenderMethod method = self->m_renderMethod;
        if (metadata) {
            // During picture in picture or on the second screen mpv renders with "auto" targets;
            // the metadata waits for the return to the device, which writes it.
            if (method != RenderMethod::openGL && method != RenderMethod::metal) return;
            self->writeTargets(metadata->primaries, metadata->gamma);
            if (method != RenderMethod::openGL) return;
            if (self->m_context->makeCurrent() && self->m_openGLView->framebuffer()) {
                // The hidden GL view must not keep the last SDR picture.
                glBindFramebuffer(GL_FRAMEBUFFER, self->m_openGLView->framebuffer());
                glClearColor(0, 0, 0, 0);
                glClear(GL_COLOR_BUFFER_BIT);
            }
            self->m_renderMethod = RenderMethod::metal;
            self->showViewsLater(RenderMethod::metal);
        } else if (method == RenderMethod::metal) {
            self->m_metalView->metalLayer()->clear();
            self->m_renderMethod = RenderMethod::openGL;
            self->showViewsLater(RenderMethod::openGL);
        }
    });
}

void VideoRenderer::renderMetal() {
    checkRenderQueue("renderMetal");
    const int width = m_metalView->pixelWidth();
    const int height = m_metalView->pixelHeight();
    auto fbo = offscreenFramebuffer(width, height);
    if (!fbo) return;
    renderToFBO(*fbo);
    // The read-back waits for GL (glFinish) before the layer takes the pixels.
    if (!m_offscreen->readBack()) return;
    m_metalView->metalLayer()->render(m_offscreen->pixelBuffer());
}

void VideoRenderer::writeTargets(const std::string& primaries, const std::string& gamma) {
    if (auto options = optionsDelegate.lock()) {
        options->setStringProperty("target-prim", primaries);
        options->setStringProperty("target-trc", gamma);
    }
}

std::optional<HDRMetadata> VideoRenderer::usableHDRMetadata() const {
    if (!hdrOutputAvailable()) return std::nullopt;
    return m_hdrMetadata;
}

RenderMethod VideoRenderer::returnToDevice() {
    if (auto metadata = usableHDRMetadata()) {
        writeTargets(metadata->primaries, metadata->gamma);
        m_renderMethod = RenderMethod::metal;
    } else {
        m_renderMethod = RenderMethod::openGL;
    }
    return m_renderMethod;
}

}  // namespace reelhaven
