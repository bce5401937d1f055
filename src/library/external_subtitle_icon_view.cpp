#include "library/external_subtitle_icon_view.h"

#include "platform/ui/layout/layout_constraint.h"
#include "platform/ui/views/image_view.h"

namespace reelhaven {

std::shared_ptr<ExternalSubtitleIconView> ExternalSubtitleIconView::create(const ui::Rect& frame) {
    return std::shared_ptr<ExternalSubtitleIconView>(new ExternalSubtitleIconView(frame));
}

void ExternalSubtitleIconView::awakeFromNib() {
    auto image = ui::ImageView::create(ui::Image::systemImage("text.bubble.fill"));
    image->setTintColor(ui::Color::white());
    setBackgroundColor(ui::Color::systemGray5());
    image->setTranslatesAutoresizingMaskIntoConstraints(false);
    addSubview(image);
    // Inequalities only, so the symbol keeps its own size inside whatever square the nib gives.
    image->centerXAnchor().constraintLessThanOrEqualTo(centerXAnchor(), 0)->setActive(true);
    image->centerYAnchor().constraintLessThanOrEqualTo(centerYAnchor(), 0)->setActive(true);
    image->topAnchor().constraintGreaterThanOrEqualTo(topAnchor(), 7)->setActive(true);
    image->leftAnchor().constraintGreaterThanOrEqualTo(leftAnchor(), 7)->setActive(true);
}

void ExternalSubtitleIconView::layoutSubviews() {
    ui::View::layoutSubviews();
    layer().setCornerRadius(bounds().size.width / 2);
    setClipsToBounds(true);
}

}  // namespace reelhaven
