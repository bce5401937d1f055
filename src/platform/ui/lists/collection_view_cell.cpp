#include "platform/ui/lists/collection_view_cell.h"

#include "platform/ui/lists/list_content_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<CollectionViewCell> CollectionViewCell::create(const Rect& frame) {
    return make<CollectionViewCell>(frame);
}

CollectionViewCell::CollectionViewCell(const Rect& frame) : CollectionReusableView(frame) {
    setLayoutMargins(ListContentView::kCellMargins);
}

void CollectionViewCell::layoutMarginsDidChange() {
    if (m_contentView) m_contentView->setNeedsLayout();
}

void CollectionViewCell::traitCollectionDidChange(const TraitCollection& previous) {
    CollectionReusableView::traitCollectionDidChange(previous);
    if (m_contentView && previous.layoutDirection != traitCollection().layoutDirection) m_contentView->setNeedsLayout();
}

std::shared_ptr<View> CollectionViewCell::contentView() {
    checkMainThread();
    if (!m_contentView) {
        std::weak_ptr<CollectionViewCell> weak = sharedAs<CollectionViewCell>();
        m_contentView = CellContentView::create(bounds(), [weak] {
            if (auto cell = weak.lock()) cell->layoutContent();
        });
        m_contentView->setAutoresizingMask(flexibleWidth | flexibleHeight);
        addSubview(m_contentView);
    }
    return m_contentView;
}

void CollectionViewCell::setContentConfiguration(std::optional<ListContentConfiguration> c) {
    checkMainThread();
    m_contentConfiguration = std::move(c);
    if (!m_contentConfiguration) {
        if (m_listContent) m_listContent->removeFromSuperview();
        m_listContent.reset();
        return;
    }
    auto content = contentView();
    if (!m_listContent) {
        m_listContent = ListContentView::create(content->bounds());
        m_listContent->setAutoresizingMask(flexibleWidth | flexibleHeight);
        content->addSubview(m_listContent);
    }
    m_listContent->apply(*m_contentConfiguration);
}

namespace {

constexpr double kAccessoryTrailingInset = 16;

bool placedInCell(const CellAccessory& accessory) {
    return accessory.kind == CellAccessory::Kind::customView && accessory.view &&
           accessory.displayed != CellAccessory::Displayed::whenEditing;
}

}  // namespace

void CollectionViewCell::setAccessories(std::vector<CellAccessory> accessories) {
    checkMainThread();
    for (const auto& old : m_accessories)
        if (old.view && old.view->superview().get() == this) old.view->removeFromSuperview();
    m_accessories = std::move(accessories);
    contentView();  // made first, so the accessories lie above it
    for (const auto& accessory : m_accessories) {
        if (!placedInCell(accessory)) continue;
        accessory.view->setHidden(accessory.isHidden);
        addSubview(accessory.view);
    }
    placeAccessories();
}

void CollectionViewCell::placeAccessories() {
    const double width = bounds().width();
    const bool rightToLeft = isRightToLeft();
    double trailing = width - kAccessoryTrailingInset;
    for (auto it = m_accessories.rbegin(); it != m_accessories.rend(); ++it) {
        if (!placedInCell(*it)) continue;
        const auto size = it->view->sizeThatFits(bounds().size);
        // Trailing is the left edge when the row reads right to left.
        const double x = rightToLeft ? width - trailing : trailing - size.width;
        it->view->setFrame(Rect(x, (bounds().height() - size.height) / 2, size.width, size.height));
        trailing -= size.width + 8;
    }
}

void CollectionViewCell::layoutContent() {
    placeAccessories();
    if (!m_listContent) return;
    m_listContent->setFrame(contentView()->bounds());
    m_listContent->setLayoutMargins(layoutMargins());
}

void CollectionViewCell::prepareForReuse() {
    checkMainThread();
    CollectionReusableView::prepareForReuse();
    m_highlighted = false;
}

}  // namespace ui
