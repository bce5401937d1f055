#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controls/button.h"

namespace ui {

// The system's paste control: a touch hands the strings of the general pasteboard to
// `onPaste` without asking the user (the control itself is the permission). It is disabled
// while the pasteboard holds no strings. Main thread only.
class PasteButton : public Button {
public:
    enum class DisplayMode { iconAndLabel, iconOnly, labelOnly };
    enum class CornerStyle { dynamic, fixed, capsule, large, medium, small };

    static std::shared_ptr<PasteButton> create(DisplayMode mode = DisplayMode::iconAndLabel,
                                               CornerStyle corners = CornerStyle::dynamic);
    std::string className() const override { return "PasteButton"; }

    DisplayMode displayMode() const { return m_mode; }
    CornerStyle cornerStyle() const { return m_corners; }
    bool isEnabled() const override;

    std::function<void(const std::vector<std::string>&)> onPaste;

protected:
    PasteButton(DisplayMode mode, CornerStyle corners);

private:
    DisplayMode m_mode;
    CornerStyle m_corners;
};

}  // namespace ui
