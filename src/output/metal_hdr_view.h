#pragma once

#include <memory>
#include <mutex>

#include "platform/media/metal_layer.h"
#include "platform/ui/views/view.h"

namespace reelhaven {

// The view that shows HDR video: its backing layer is the EDR Metal layer the renderer copies
// frames into. It keeps its size in pixels (bounds x its screen's scale) for the render queue,
// which must not read the main thread's geometry.
//
// Threads: geometry and window changes on the main thread; `metalLayer` and `pixelWidth` /
// `pixelHeight` from any thread.
class MetalHDRView : public ui::View {
public:
    static std::shared_ptr<MetalHDRView> create(const ui::Rect& frame = {});
    std::string className() const override { return "MetalHDRView"; }

    const std::shared_ptr<media::MetalLayer>& metalLayer() const { return m_metalLayer; }
    int pixelWidth() const;
    int pixelHeight() const;

    void setFrame(const ui::Rect& frame) override;
    void setBounds(const ui::Rect& bounds) override;
    void layoutSubviews() override;
    void didMoveToWindow() override;

protected:
    MetalHDRView(const ui::Rect& frame, std::shared_ptr<media::MetalLayer> layer);

private:
    void updatePixelSize();

    const std::shared_ptr<media::MetalLayer> m_metalLayer;
    mutable std::mutex m_mutex;  // guards the pixel size
    int m_pixelWidth = 0;
    int m_pixelHeight = 0;
};

}  // namespace reelhaven
