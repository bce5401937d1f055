#include "library/time_remaining_view.h"

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/text/font.h"

namespace reelhaven {

std::shared_ptr<TimeRemainingView> TimeRemainingView::create(const ui::Rect& frame) {
    return std::shared_ptr<TimeRemainingView>(new TimeRemainingView(frame));
}

void TimeRemainingView::awakeFromNib() {
    setBackgroundColor(ui::Color::systemGray5());
    m_label->setTintColor(ui::Color::white());
    m_label->setFont(ui::Font::named("Inter-Bold", 13).value_or(ui::Font::systemFont(13)));
    m_label->setTranslatesAutoresizingMaskIntoConstraints(false);
    addSubview(m_label);
    m_label->centerXAnchor().constraintLessThanOrEqualTo(centerXAnchor(), 0)->setActive(true);
    m_label->centerYAnchor().constraintLessThanOrEqualTo(centerYAnchor(), 0)->setActive(true);
    m_label->topAnchor().constraintGreaterThanOrEqualTo(topAnchor(), 3)->setActive(true);
    m_label->leftAnchor().constraintGreaterThanOrEqualTo(leftAnchor(), 3)->setActive(true);
}

void TimeRemainingView::layoutSubviews() {
    ui::View::layoutSubviews();
    layer().setCornerRadius(7);
    setClipsToBounds(true);
}

}  // namespace reelhaven
