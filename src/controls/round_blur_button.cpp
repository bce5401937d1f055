#include "controls/round_blur_button.h"

#include "controls/control_symbols.h"
#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/image.h"

namespace reelhaven {

RoundBlurButton::RoundBlurButton()
    : ui::View(ui::Rect{}),
      m_visualEffectView(ui::VisualEffectView::create(ui::VisualEffectView::BlurStyle::dark)),
      m_button(ui::Button::create(ui::ButtonType::system)) {}

void RoundBlurButton::setup(const std::string& symbolName) {
    m_visualEffectView->setAutoresizingMask(ui::flexibleWidth | ui::flexibleHeight);
    addSubview(m_visualEffectView);
    setClipsToBounds(true);
    layer().setCornerCurve(ui::CornerCurve::continuous);
    layer().setCornerRadius(20);
    m_button->setImage(ui::Image::systemImage(symbolName, buttonSymbolConfiguration()), ui::normal);
    m_button->setTintColor(ui::Color::white());
    m_button->setContentHuggingPriority(750, ui::LayoutAxis::horizontal);
    m_button->setPointerInteractionEnabled(true);
    m_button->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto content = m_visualEffectView->contentView();
    content->addSubview(m_button);
    ui::LayoutConstraint::activate({m_button->leadingAnchor().constraint(content->leadingAnchor()),
                                    m_button->topAnchor().constraint(content->topAnchor()),
                                    m_button->trailingAnchor().constraint(content->trailingAnchor()),
                                    m_button->bottomAnchor().constraint(content->bottomAnchor())});
}

std::shared_ptr<CloseVideoButton> CloseVideoButton::create() {
    auto view = std::shared_ptr<CloseVideoButton>(new CloseVideoButton());
    view->setup("xmark");
    return view;
}

std::shared_ptr<VideoMenuButton> VideoMenuButton::create() {
    auto view = std::shared_ptr<VideoMenuButton>(new VideoMenuButton());
    view->setup("list.and.film");
    return view;
}

}  // namespace reelhaven
