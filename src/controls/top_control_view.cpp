#include "controls/top_control_view.h"

#include "platform/ui/layout/layout_constraint.h"

namespace reelhaven {

std::shared_ptr<TopControlView> TopControlView::create(const ui::Rect& frame) {
    auto view = std::shared_ptr<TopControlView>(new TopControlView(frame));
    view->setup();
    return view;
}

TopControlView::TopControlView(const ui::Rect& frame)
    : ui::View(frame),
      m_closeVideoButtonView(CloseVideoButton::create()),
      m_videoMenuButtonView(VideoMenuButton::create()),
      m_stackView(ui::StackView::create()) {}

void TopControlView::setup() {
    m_stackView->setTranslatesAutoresizingMaskIntoConstraints(false);
    addSubview(m_stackView);
    ui::LayoutConstraint::activate({m_stackView->topAnchor().constraint(topAnchor()),
                                    m_stackView->bottomAnchor().constraint(bottomAnchor()),
                                    m_stackView->leadingAnchor().constraint(leadingAnchor()),
                                    m_stackView->trailingAnchor().constraint(trailingAnchor())});
    for (const std::shared_ptr<ui::View>& button : {std::static_pointer_cast<ui::View>(m_closeVideoButtonView),
                                                    std::static_pointer_cast<ui::View>(m_videoMenuButtonView)}) {
        button->setTranslatesAutoresizingMaskIntoConstraints(false);
        button->widthAnchor().constraintEqualToConstant(50)->setActive(true);
        button->setContentHuggingPriority(1000, ui::LayoutAxis::horizontal);
    }
    m_stackView->addArrangedSubview(m_closeVideoButtonView);
    m_stackView->addArrangedSubview(ui::View::create());
    m_stackView->addArrangedSubview(m_videoMenuButtonView);
}

}  // namespace reelhaven
