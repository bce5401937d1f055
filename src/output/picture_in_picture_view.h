#pragma once

#include <memory>

#include "platform/media/sample_buffer_display_layer.h"
#include "platform/ui/views/view.h"

namespace reelhaven {

// The view whose sample-buffer display layer feeds the picture-in-picture window. The player lays
// it over the GL view, transparent and without user interaction; the renderer makes it opaque
// while picture in picture runs. Main thread, as its layer.
class PictureInPictureView : public ui::View {
public:
    static std::shared_ptr<PictureInPictureView> create(const ui::Rect& frame = {});
    std::string className() const override { return "PictureInPictureView"; }

    const std::shared_ptr<media::SampleBufferDisplayLayer>& sampleBufferDisplayLayer() const { return m_displayLayer; }

protected:
    PictureInPictureView(const ui::Rect& frame, std::shared_ptr<media::SampleBufferDisplayLayer> layer)
        : ui::View(frame, layer), m_displayLayer(std::move(layer)) {}

private:
    const std::shared_ptr<media::SampleBufferDisplayLayer> m_displayLayer;
};

}  // namespace reelhaven
