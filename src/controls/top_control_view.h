#pragma once

#include <memory>

#include "controls/round_blur_button.h"
#include "platform/ui/layout/stack_view.h"

namespace reelhaven {

// The player's top bar: the close button at the leading end, the video menu button at the
// trailing end, a flexible gap between.
class TopControlView : public ui::View {
public:
    static std::shared_ptr<TopControlView> create(const ui::Rect& frame = {});
    std::string className() const override { return "TopControlView"; }

    const std::shared_ptr<CloseVideoButton>& closeVideoButtonView() const { return m_closeVideoButtonView; }
    const std::shared_ptr<VideoMenuButton>& videoMenuButtonView() const { return m_videoMenuButtonView; }
    const std::shared_ptr<ui::StackView>& stackView() const { return m_stackView; }

protected:
    explicit TopControlView(const ui::Rect& frame);

private:
    void setup();

    std::shared_ptr<CloseVideoButton> m_closeVideoButtonView;
    std::shared_ptr<VideoMenuButton> m_videoMenuButtonView;
    std::shared_ptr<ui::StackView> m_stackView;
};

}  // namespace reelhaven
