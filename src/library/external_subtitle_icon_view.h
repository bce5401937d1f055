#pragma once

#include <memory>
#include <string>

#include "platform/ui/views/view.h"

namespace reelhaven {

// The round badge of a video with an external subtitle file: a white "text.bubble.fill" symbol
// on a grey circle. Main thread.
class ExternalSubtitleIconView : public ui::View {
public:
    static std::shared_ptr<ExternalSubtitleIconView> create(const ui::Rect& frame = {});
    std::string className() const override { return "ExternalSubtitleIconView"; }

    void awakeFromNib();
    void layoutSubviews() override;

protected:
    explicit ExternalSubtitleIconView(const ui::Rect& frame) : ui::View(frame) {}
};

}  // namespace reelhaven
