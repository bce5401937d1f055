#include "platform/ui/views/visual_effect_view.h"

namespace ui {

std::shared_ptr<VisualEffectView> VisualEffectView::create(std::optional<BlurStyle> effect) {
    auto view = make<VisualEffectView>();
    view->m_effect = effect;
    view->m_contentView = View::create();
    view->m_contentView->setAutoresizingMask(flexibleWidth | flexibleHeight);
    view->addSubview(view->m_contentView);
    return view;
}

std::shared_ptr<VisualEffectView> VisualEffectView::createVibrancy(BlurStyle blur) {
    auto view = create(std::nullopt);
    view->m_vibrancyBlur = blur;
    return view;
}

}  // namespace ui
