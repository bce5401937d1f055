#include "platform/ui/lists/table_view_cell.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<TableViewCell> TableViewCell::create(TableViewCellStyle style, std::string reuseIdentifier) {
    auto cell = make<TableViewCell>(style);
    cell->setReuseIdentifier(std::move(reuseIdentifier));
    return cell;
}

std::shared_ptr<Label> TableViewCell::textLabel() {
    checkMainThread();
    if (!m_textLabel) {
        m_textLabel = Label::create();
        contentView()->addSubview(m_textLabel);
    }
    return m_textLabel;
}

std::shared_ptr<Label> TableViewCell::detailTextLabel() {
    checkMainThread();
    if (m_style == TableViewCellStyle::defaultStyle) return nullptr;
    if (!m_detailTextLabel) {
        m_detailTextLabel = Label::create();
        contentView()->addSubview(m_detailTextLabel);
    }
    return m_detailTextLabel;
}

std::shared_ptr<ImageView> TableViewCell::imageView() {
    checkMainThread();
    if (!m_imageView) {
        m_imageView = ImageView::create();
        contentView()->addSubview(m_imageView);
    }
    return m_imageView;
}

void TableViewCell::setAccessoryView(std::shared_ptr<View> view) {
    checkMainThread();
    if (m_accessoryView) m_accessoryView->removeFromSuperview();
    m_accessoryView = std::move(view);
    if (!m_accessoryView) return;
    // At the size it fits in, at the row's trailing edge and centred in its height, and kept
    // there as the row resizes, so a switch in a row can be reached by a touch.
    const auto row = bounds();
    const auto size = m_accessoryView->sizeThatFits(row.size);
    m_accessoryView->setFrame(Rect(row.width() - kAccessoryTrailingInset - size.width, (row.height() - size.height) / 2,
                                   size.width, size.height));
    m_accessoryView->setAutoresizingMask(flexibleLeftMargin | flexibleTopMargin | flexibleBottomMargin);
    addSubview(m_accessoryView);
}

}  // namespace ui
