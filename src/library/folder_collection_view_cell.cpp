#include "library/folder_collection_view_cell.h"

namespace reelhaven {

std::shared_ptr<FolderCollectionViewCell> FolderCollectionViewCell::create(const ui::Rect& frame) {
    return std::shared_ptr<FolderCollectionViewCell>(new FolderCollectionViewCell(frame));
}

void FolderCollectionViewCell::awakeFromNib() {
    LibraryCollectionViewCell::awakeFromNib();
    for (const auto& view : {containerView(), contentView(), std::shared_ptr<ui::View>(sharedAs<ui::View>())}) {
        if (view) view->setBackgroundColor(ui::Color::clear());
    }
    if (auto plate = thumbnailContainerView()) {
        plate->setBackgroundColor(ui::Color::systemGray5());
        plate->layer().setCornerRadius(15);
        plate->layer().setCornerCurve(ui::CornerCurve::continuous);
    }
    for (int index = 0; index < thumbCount; ++index) {
        auto view = thumb(index);
        if (!view) continue;
        view->layer().setCornerRadius(10);
        view->layer().setMasksToBounds(true);
        view->layer().setCornerCurve(ui::CornerCurve::continuous);
    }
    layer().setMasksToBounds(false);
}

void FolderCollectionViewCell::prepareForReuse() {
    LibraryCollectionViewCell::prepareForReuse();
    m_previewItems.fill(std::nullopt);
}

}  // namespace reelhaven
