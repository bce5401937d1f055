#pragma once

#include <memory>
#include <string>

#include "platform/ui/text/label.h"
#include "platform/ui/views/view.h"

namespace reelhaven {

// A small rounded grey badge holding one bold white label. Main thread.
class TimeRemainingView : public ui::View {
public:
    static std::shared_ptr<TimeRemainingView> create(const ui::Rect& frame = {});
    std::string className() const override { return "TimeRemainingView"; }

    const std::shared_ptr<ui::Label>& label() const { return m_label; }

    void awakeFromNib();
    void layoutSubviews() override;

protected:
    explicit TimeRemainingView(const ui::Rect& frame) : ui::View(frame), m_label(ui::Label::create()) {}

private:
    std::shared_ptr<ui::Label> m_label;
};

}  // namespace reelhaven
