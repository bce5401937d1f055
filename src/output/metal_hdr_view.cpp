#include "output/metal_hdr_view.h"

#include "output/pixel_size.h"
#include "platform/ui/views/window.h"

namespace reelhaven {

std::shared_ptr<MetalHDRView> MetalHDRView::create(const ui::Rect& frame) {
    auto layer = media::MetalLayer::create();
    return std::shared_ptr<MetalHDRView>(new MetalHDRView(frame, layer));
}

MetalHDRView::MetalHDRView(const ui::Rect& frame, std::shared_ptr<media::MetalLayer> layer)
    : ui::View(frame, layer), m_metalLayer(std::move(layer)) {
    updatePixelSize();
}

int MetalHDRView::pixelWidth() const {
    std::lock_guard lock(m_mutex);
    return m_pixelWidth;
}

int MetalHDRView::pixelHeight() const {
    std::lock_guard lock(m_mutex);
    return m_pixelHeight;
}

void MetalHDRView::updatePixelSize() {
    const double scale = screenScale(*this);
    const auto size = bounds().size;
    const int width = truncatedPixels(size.width * scale);
    const int height = truncatedPixels(size.height * scale);
    {
        std::lock_guard lock(m_mutex);
        m_pixelWidth = width;
        m_pixelHeight = height;
    }
    // A GPU layer's drawable follows its bounds until a frame sets it; picture in picture sizes
    // its first frames by it.
    m_metalLayer->setDrawableSize({static_cast<double>(width), static_cast<double>(height)});
}

void MetalHDRView::setFrame(const ui::Rect& frame) {
    View::setFrame(frame);
    updatePixelSize();
}

void MetalHDRView::setBounds(const ui::Rect& bounds) {
    View::setBounds(bounds);
    updatePixelSize();
}

void MetalHDRView::layoutSubviews() {
    View::layoutSubviews();
    updatePixelSize();
}

void MetalHDRView::didMoveToWindow() {
    View::didMoveToWindow();
    updatePixelSize();
}

}  // namespace reelhaven
