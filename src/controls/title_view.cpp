#include "controls/title_view.h"

#include "controls/overlay_nibs.h"
#include "platform/base/fatal.h"

namespace reelhaven {

std::shared_ptr<TitleView> TitleView::create(const ui::Rect& frame) {
    registerOverlayNibs();
    auto view = std::shared_ptr<TitleView>(new TitleView(frame));
    view->setupFromNib();
    view->awakeFromNib();
    return view;
}

void TitleView::awakeFromNib() {
    auto blur = m_visualEffectView.lock();
    auto title = m_titleLabel.lock();
    if (!blur || !title) base::fatal("TitleView: an outlet is not connected");
    setBackgroundColor(ui::Color::clear());
    blur->layer().setCornerRadius(20);
    blur->layer().setCornerCurve(ui::CornerCurve::continuous);
    blur->layer().setMasksToBounds(true);
    blur->setEffect(ui::VisualEffectView::BlurStyle::systemUltraThinMaterialDark);
    title->setTextColor(ui::Color::white());
    title->sizeToFit();
    title->setTextAlignment(ui::TextAlignment::left);
    title->setNumberOfLines(0);
}

}  // namespace reelhaven
