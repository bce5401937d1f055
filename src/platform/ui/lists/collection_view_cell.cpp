#include "platform/ui/lists/collection_view_cell.h"

#include "platform/ui/lists/list_content_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<CollectionViewCell> CollectionViewCell::create(const Rect& frame) {
    return make<CollectionViewCell>(frame);
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

void CollectionViewCell::layoutContent() {
    if (m_listContent) m_listContent->setFrame(contentView()->bounds());
}

void CollectionViewCell::prepareForReuse() {
    checkMainThread();
    CollectionReusableView::prepareForReuse();
    m_highlighted = false;
}

}  // namespace ui
