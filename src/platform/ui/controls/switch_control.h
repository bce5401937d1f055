#pragma once

#include <memory>
#include <optional>

#include "platform/ui/controls/control.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// An on/off switch; a touch lifted over it flips it and sends "value changed".
class Switch : public Control {
public:
    static std::shared_ptr<Switch> create(const Rect& frame = {});
    std::string className() const override { return "Switch"; }

    bool isOn() const { return m_on; }
    void setOn(bool on, bool animated = false);
    std::optional<Color> onTintColor() const { return m_onTint; }
    void setOnTintColor(std::optional<Color> color) {
        checkMainThread();
        m_onTint = std::move(color);
    }

    // A switch has one size.
    static constexpr Size size{51, 31};
    Size intrinsicContentSize() const override { return size; }
    Size sizeThatFits(Size) const override { return size; }

protected:
    explicit Switch(const Rect& frame) : Control(frame) {}
    void touchEndedInside() override;

private:
    bool m_on = false;
    std::optional<Color> m_onTint;
};

}  // namespace ui
