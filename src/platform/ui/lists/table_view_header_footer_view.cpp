#include "platform/ui/lists/table_view_header_footer_view.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/lists/list_content_view.h"
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
        std::weak_ptr<TableViewHeaderFooterView> weak = sharedAs<TableViewHeaderFooterView>();
        m_contentView = CellContentView::create(bounds(), [weak] {
            if (auto view = weak.lock()) view->layoutContent();
        });
        m_contentView->setAutoresizingMask(flexibleWidth | flexibleHeight);
        addSubview(m_contentView);
    }
    return m_contentView;
}

std::shared_ptr<Label> TableViewHeaderFooterView::textLabel() {
    checkMainThread();
    if (!m_textLabel) {
        m_textLabel = Label::create();
        m_textLabel->setFont(Font::systemFont(13));
        m_textLabel->setTextColor(Color::secondaryLabel());
        m_textLabel->setNumberOfLines(0);
        contentView()->addSubview(m_textLabel);
        contentView()->setNeedsLayout();
    }
    return m_textLabel;
}

double TableViewHeaderFooterView::heightFitting(double width, double minimum) const {
    if (!m_textLabel || !m_textLabel->text() || m_textLabel->text()->empty()) return minimum;
    const double inset = ListContentView::kHorizontalInset;
    const double text = m_textLabel->sizeThatFits({std::max(0.0, width - 2 * inset), 0}).height;
    const double line = std::ceil(m_textLabel->font().lineHeight());
    return std::max(minimum, minimum + std::ceil(text) - line);
}

void TableViewHeaderFooterView::layoutContent() {
    if (!m_textLabel) return;
    const Rect content = contentView()->bounds();
    const double inset = ListContentView::kHorizontalInset;
    m_textLabel->setFrame(
        Rect(content.minX() + inset, content.minY(), std::max(0.0, content.width() - 2 * inset), content.height()));
}

}  // namespace ui
