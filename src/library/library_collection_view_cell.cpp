#include "library/library_collection_view_cell.h"

namespace reelhaven {

void LibraryCollectionViewCell::awakeFromNib() {
    setupScrollingLabel();
    if (auto mark = selectedCheckmark()) {
        mark->setHidden(true);
        // The mark only ever shows as checked: an unselected cell hides it instead.
        mark->checkedBool = true;
        mark->setNeedsDisplay();
    }
    if (auto label = titleLabel()) label->setText(std::nullopt);
}

void LibraryCollectionViewCell::setupScrollingLabel() {
    auto label = titleLabel();
    if (!label) return;
    label->setType(ScrollingLabel::ScrollType::continuous);
    label->setTrailingBuffer(20);
    label->setAnimationDelay(2);
    label->setSpeed(ScrollingLabel::SpeedLimit::duration(9.0));
    label->setAnimationCurve(ui::ViewAnimationCurve::linear);
    label->setTextColor(ui::Color::white());
    label->setFadeLength(5);
}

void LibraryCollectionViewCell::setSelected(bool selected) {
    ui::CollectionViewCell::setSelected(selected);
    if (auto mark = selectedCheckmark()) mark->setHidden(!selected);
    if (auto dimmed = dimmedView()) dimmed->setAlpha(selected ? 0.6 : 1.0);
}

void LibraryCollectionViewCell::prepareForReuse() {
    ui::CollectionViewCell::prepareForReuse();
    setAlpha(1.0);
}

}  // namespace reelhaven
