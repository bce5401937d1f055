#include "library/video_collection_view_cell.h"

namespace reelhaven {
namespace {

void setShadow(ui::Layer& layer, ui::Size offset, double radius, double opacity) {
    layer.setShadowColor(ui::Color::black());
    layer.setShadowOffset(offset);
    layer.setShadowRadius(radius);
    layer.setShadowOpacity(opacity);
}

}  // namespace

std::shared_ptr<VideoCollectionViewCell> VideoCollectionViewCell::create(const ui::Rect& frame) {
    return std::shared_ptr<VideoCollectionViewCell>(new VideoCollectionViewCell(frame));
}

void VideoCollectionViewCell::awakeFromNib() {
    LibraryCollectionViewCell::awakeFromNib();
    for (const auto& label : {timestampLabel(), sizeLabel()}) {
        if (!label) continue;
        label->setTextColor(ui::Color::secondaryLabel());
        label->setText(std::nullopt);
    }
    if (auto label = timeRemainingLabel()) {
        label->setTextColor(ui::Color::white());
        label->setText(std::nullopt);
    }
    if (auto frame = thumbnailView()) {
        frame->layer().setCornerRadius(15);
        frame->layer().setCornerCurve(ui::CornerCurve::continuous);
        frame->layer().setMasksToBounds(true);
    }
    if (auto container = containerView()) container->layer().setMasksToBounds(false);
    // Shadows of the badges reach outside the cell.
    layer().setMasksToBounds(false);
}

void VideoCollectionViewCell::layoutSubviews() {
    LibraryCollectionViewCell::layoutSubviews();
    // Each shadow is cast from a path given here, so it needs no look at what the layer draws.
    if (auto icon = finishedIcon()) {
        setShadow(icon->layer(), {0, 2}, 3, 0.3);
        icon->layer().setShadowPath(ui::BezierPath::roundedRect(icon->bounds(), 15));
    }
    const auto badge = timeRemainingShadowView();
    for (const auto& view : {std::shared_ptr<ui::View>(timeRemainingLabel()), badge}) {
        if (!view) continue;
        setShadow(view->layer(), {0, 3}, 8, 0.6);
        // Both cast the badge's rectangle (the label's own shape would be its text's).
        view->layer().setShadowPath(ui::BezierPath::rect(badge ? badge->bounds() : view->bounds()));
        view->layer().setMasksToBounds(false);
        view->setClipsToBounds(false);
    }
}

}  // namespace reelhaven
