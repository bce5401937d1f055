#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<CollectionViewCell> CollectionViewCell::create(const Rect& frame) {
    return make<CollectionViewCell>(frame);
}

std::shared_ptr<View> CollectionViewCell::contentView() {
    checkMainThread();
    if (!m_contentView) {
        m_contentView = View::create(bounds());
        m_contentView->setAutoresizingMask(flexibleWidth | flexibleHeight);
        addSubview(m_contentView);
    }
    return m_contentView;
}

void CollectionViewCell::prepareForReuse() {
    checkMainThread();
    CollectionReusableView::prepareForReuse();
    m_highlighted = false;
}

}  // namespace ui
