#pragma once

#include <memory>

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/view.h"

namespace reelhaven {

// The seek note's thin bar: a gray track with a white fill `progress` of its width wide.
class ProgressView : public ui::View {
public:
    static std::shared_ptr<ProgressView> create(const ui::Rect& frame = {});
    std::string className() const override { return "ProgressView"; }

    float progress() const { return m_progress; }
    // Also sets the fill's width at once.
    void setProgress(float progress);
    const std::shared_ptr<ui::View>& progressView() const { return m_progressView; }
    const std::shared_ptr<ui::LayoutConstraint>& progressViewWidthConstraint() const { return m_widthConstraint; }

    void layoutSubviews() override;

protected:
    explicit ProgressView(const ui::Rect& frame);

private:
    void setup();
    void updateFillWidth();

    float m_progress = 0;
    std::shared_ptr<ui::View> m_progressView;
    std::shared_ptr<ui::LayoutConstraint> m_widthConstraint;
};

}  // namespace reelhaven
