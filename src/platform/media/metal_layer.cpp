#include "platform/media/metal_layer.h"

namespace media {
namespace {

bool formatsMatch(MetalPixelFormat layer, PixelFormat buffer) {
    switch (layer) {
        case MetalPixelFormat::rgba16Float: return buffer == PixelFormat::rgba64Half;
        case MetalPixelFormat::bgra8Unorm: return buffer == PixelFormat::bgra32;
    }
    return false;
}

}  // namespace

std::shared_ptr<MetalLayer> MetalLayer::create() { return ui::make<MetalLayer>(); }

#define REELHAVEN_LOCKED_PROPERTY(Type, getter, setter, member) \
    Type MetalLayer::getter() const {                           \
        std::lock_guard lock(m_mutex);                          \
        return member;                                          \
    }                                                           \
    void MetalLayer::setter(Type value) {                       \
        std::lock_guard lock(m_mutex);                          \
        member = std::move(value);                              \
    }

REELHAVEN_LOCKED_PROPERTY(MetalPixelFormat, pixelFormat, setPixelFormat, m_pixelFormat)
REELHAVEN_LOCKED_PROPERTY(bool, framebufferOnly, setFramebufferOnly, m_framebufferOnly)
REELHAVEN_LOCKED_PROPERTY(ui::Size, drawableSize, setDrawableSize, m_drawableSize)
REELHAVEN_LOCKED_PROPERTY(bool, wantsExtendedDynamicRangeContent, setWantsExtendedDynamicRangeContent, m_wantsEDR)
REELHAVEN_LOCKED_PROPERTY(std::optional<gfx::EDRMetadata>, edrMetadata, setEdrMetadata, m_edrMetadata)
REELHAVEN_LOCKED_PROPERTY(std::optional<gfx::ColorSpaceName>, colorSpace, setColorSpace, m_colorSpace)
REELHAVEN_LOCKED_PROPERTY(bool, hasDevice, setHasDevice, m_hasDevice)

#undef REELHAVEN_LOCKED_PROPERTY

bool MetalLayer::render(const std::shared_ptr<PixelBuffer>& pixelBuffer) {
    MetalPixelFormat format;
    {
        std::lock_guard lock(m_mutex);
        if (!m_hasDevice || !pixelBuffer || !pixelBuffer->hasIOSurface()) return false;
        if (!formatsMatch(m_pixelFormat, pixelBuffer->pixelFormat())) return false;
        m_drawableSize = {static_cast<double>(pixelBuffer->width()), static_cast<double>(pixelBuffer->height())};
        format = m_pixelFormat;
    }
    // The blit into the drawable: a copy, so the next frame written into the buffer does not
    // change what is shown. Done outside the lock; the buffer belongs to the render queue.
    auto contents = pixelBuffer->copy();
    if (!contents) return false;
    std::lock_guard lock(m_mutex);
    m_presented = MetalDrawable{m_drawableSize, format, std::move(contents).value()};
    ++m_presentedCount;
    return true;
}

bool MetalLayer::clear() {
    std::lock_guard lock(m_mutex);
    if (!m_hasDevice) return false;
    m_presented = MetalDrawable{m_drawableSize, m_pixelFormat, nullptr};
    ++m_presentedCount;
    return true;
}

std::optional<MetalDrawable> MetalLayer::presentedDrawable() const {
    std::lock_guard lock(m_mutex);
    return m_presented;
}

std::size_t MetalLayer::presentedCount() const {
    std::lock_guard lock(m_mutex);
    return m_presentedCount;
}

}  // namespace media
