#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<TableViewHeaderFooterView> TableViewHeaderFooterView::create(std::string reuseIdentifier) {
    auto view = make<TableViewHeaderFooterView>();
    view->setReuseIdentifier(std::move(reuseIdentifier));
    return view;
}

std::shared_ptr<View> TableViewHeaderFooterView::contentView() {
    checkMainThread();
    if (!m_contentView) {
        m_contentView = View::create(bounds());
        m_contentView->setAutoresizingMask(flexibleWidth | flexibleHeight);
        addSubview(m_contentView);
    }
    return m_contentView;
}

std::shared_ptr<Label> TableViewHeaderFooterView::textLabel() {
    checkMainThread();
    if (!m_textLabel) {
        m_textLabel = Label::create();
        contentView()->addSubview(m_textLabel);
    }
    return m_textLabel;
}

}  // namespace ui
