#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/graphics/color_space.h"
#include "platform/graphics/edr_metadata.h"
#include "platform/media/pixel_buffer.h"
#include "platform/ui/views/layer.h"
#include "platform/ui/views/size.h"

namespace media {

// Pixel formats of drawables, by their platform numbers.
enum class MetalPixelFormat : std::uint32_t { bgra8Unorm = 80, rgba16Float = 115 };

// The picture one presented drawable holds.
struct MetalDrawable {
    ui::Size size;
    MetalPixelFormat pixelFormat = MetalPixelFormat::bgra8Unorm;
    // The copied pixels; none for a cleared drawable.
    std::shared_ptr<const PixelBuffer> contents;
    bool isCleared() const { return contents == nullptr; }
};

// A layer whose pictures are copied in from pixel buffers: the stand-in for a GPU layer that
// shows extended-dynamic-range video. It keeps its EDR settings and the last presented drawable.
// The settings are written on the main thread and `render`/`clear` run on the render queue, so
// all of its own state is behind a lock and may be used from any thread (the base layer's state
// stays main-thread only).
class MetalLayer : public ui::Layer {
public:
    static std::shared_ptr<MetalLayer> create();
    std::string className() const override { return "MetalLayer"; }

    MetalPixelFormat pixelFormat() const;
    void setPixelFormat(MetalPixelFormat format);
    bool framebufferOnly() const;
    void setFramebufferOnly(bool framebufferOnly);
    ui::Size drawableSize() const;
    void setDrawableSize(ui::Size size);
    bool wantsExtendedDynamicRangeContent() const;
    void setWantsExtendedDynamicRangeContent(bool wants);
    std::optional<gfx::EDRMetadata> edrMetadata() const;
    void setEdrMetadata(std::optional<gfx::EDRMetadata> metadata);
    std::optional<gfx::ColorSpaceName> colorSpace() const;
    void setColorSpace(std::optional<gfx::ColorSpaceName> space);
    // Whether a GPU device is there; a test may take it away to see frames skipped.
    bool hasDevice() const;
    void setHasDevice(bool hasDevice);

    // Shows one pixel buffer: the drawable size becomes the buffer's, its pixels are copied into a
    // new drawable of the layer's format, which is presented. Skipped (returns false) without a
    // device, without an IOSurface, or when the buffer's format is not the layer's.
    bool render(const std::shared_ptr<PixelBuffer>& pixelBuffer);
    // Presents one cleared drawable of the current size. Skipped without a device.
    bool clear();

    // The last presented drawable, none before the first.
    std::optional<MetalDrawable> presentedDrawable() const;
    std::size_t presentedCount() const;

protected:
    MetalLayer() = default;

private:
    mutable std::mutex m_mutex;
    MetalPixelFormat m_pixelFormat = MetalPixelFormat::bgra8Unorm;
    bool m_framebufferOnly = true;
    ui::Size m_drawableSize;
    bool m_wantsEDR = false;
    std::optional<gfx::EDRMetadata> m_edrMetadata;
    std::optional<gfx::ColorSpaceName> m_colorSpace;
    bool m_hasDevice = true;
    std::optional<MetalDrawable> m_presented;
    std::size_t m_presentedCount = 0;
};

}  // namespace media
