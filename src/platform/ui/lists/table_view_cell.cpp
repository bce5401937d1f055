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
    if (m_accessoryView) addSubview(m_accessoryView);
}

}  // namespace ui
