#include "platform/media/volume_view.h"

#include "platform/media/audio_session.h"
#include "platform/ui/controls/slider.h"

namespace media {
namespace {

// The only way the product changes the system volume is through this slider.
class VolumeSlider : public ui::Slider {
public:
    explicit VolumeSlider(const ui::Rect& frame) : Slider(frame) {}
    std::string className() const override { return "VolumeSlider"; }

    void setValue(float value, bool animated) override {
        Slider::setValue(value, animated);
        AudioSession::shared()->setOutputVolume(this->value());
    }
};

}  // namespace

std::shared_ptr<VolumeView> VolumeView::create(const ui::Rect& frame) {
    auto view = ui::make<VolumeView>(frame);
    auto slider = ui::make<VolumeSlider>(ui::Rect{0, 0, frame.size.width, frame.size.height});
    slider->Slider::setValue(AudioSession::shared()->outputVolume());
    view->addSubview(slider);
    return view;
}

}  // namespace media
