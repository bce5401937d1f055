#pragma once

#include <memory>

#include "platform/ui/views/view.h"

namespace media {

// The system volume view: one slider subview whose value is the audio session's output volume.
// Setting the slider's value, by code or by the finger, sets the output volume. Main thread only.
class VolumeView : public ui::View {
public:
    static std::shared_ptr<VolumeView> create(const ui::Rect& frame = {});
    std::string className() const override { return "VolumeView"; }

protected:
    explicit VolumeView(const ui::Rect& frame) : View(frame) {}
};

}  // namespace media
