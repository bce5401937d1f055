#pragma once

#include <memory>
#include <string>

#include "platform/ui/controls/button.h"
#include "platform/ui/views/visual_effect_view.h"

namespace reelhaven {

// A round blurred button of the top bar showing one white symbol.
class RoundBlurButton : public ui::View {
public:
    std::shared_ptr<ui::VisualEffectView> visualEffectView() const { return m_visualEffectView; }
    std::shared_ptr<ui::Button> button() const { return m_button; }

protected:
    RoundBlurButton();
    void setup(const std::string& symbolName);

private:
    std::shared_ptr<ui::VisualEffectView> m_visualEffectView;
    std::shared_ptr<ui::Button> m_button;
};

// The top bar's close button ("xmark").
class CloseVideoButton : public RoundBlurButton {
public:
    static std::shared_ptr<CloseVideoButton> create();
    std::string className() const override { return "CloseVideoButton"; }

private:
    CloseVideoButton() = default;
};

// The top bar's video menu button ("list.and.film").
class VideoMenuButton : public RoundBlurButton {
public:
    static std::shared_ptr<VideoMenuButton> create();
    std::string className() const override { return "VideoMenuButton"; }

private:
    VideoMenuButton() = default;
};

}  // namespace reelhaven
