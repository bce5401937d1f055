#include "platform/ui/lists/table_view_cell.h"

#include <algorithm>

#include "platform/ui/lists/list_content_view.h"
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
        contentView()->setNeedsLayout();
    }
    return m_textLabel;
}

std::shared_ptr<Label> TableViewCell::detailTextLabel() {
    checkMainThread();
    if (m_style == TableViewCellStyle::defaultStyle) return nullptr;
    if (!m_detailTextLabel) {
        m_detailTextLabel = Label::create();
        if (m_style == TableViewCellStyle::value1) m_detailTextLabel->setTextAlignment(TextAlignment::right);
        m_detailTextLabel->setTextColor(Color::secondaryLabel());
        contentView()->addSubview(m_detailTextLabel);
        contentView()->setNeedsLayout();
    }
    return m_detailTextLabel;
}

std::shared_ptr<ImageView> TableViewCell::imageView() {
    checkMainThread();
    if (!m_imageView) {
        m_imageView = ImageView::create();
        m_imageView->setContentMode(ContentMode::scaleAspectFit);
        contentView()->addSubview(m_imageView);
        contentView()->setNeedsLayout();
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
    auto content = contentView();  // made first, so the accessory lies above it and takes its touches
    addSubview(m_accessoryView);
    content->setNeedsLayout();
}

void TableViewCell::setAccessoryType(TableViewCellAccessoryType type) {
    checkMainThread();
    m_accessoryType = type;
    if (type == TableViewCellAccessoryType::none) {
        if (m_indicator) m_indicator->removeFromSuperview();
        m_indicator.reset();
    } else {
        if (!m_indicator) {
            m_indicator = CellAccessoryIndicatorView::create();
            contentView();  // below the indicator
            addSubview(m_indicator);
        }
        m_indicatorSymbol.clear();
        showIndicatorSymbol();
        m_indicator->setTintColor(type == TableViewCellAccessoryType::disclosureIndicator
                                      ? std::optional<Color>(Color::tertiaryLabel())
                                      : std::nullopt);
    }
    contentView()->setNeedsLayout();
}

void TableViewCell::showIndicatorSymbol() {
    if (!m_indicator) return;
    std::string symbol;
    switch (m_accessoryType) {
        case TableViewCellAccessoryType::none: return;
        // The chevron points the way the row reads on, towards the trailing edge it sits at.
        case TableViewCellAccessoryType::disclosureIndicator:
            symbol = isRightToLeft() ? "chevron.left" : "chevron.right";
            break;
        case TableViewCellAccessoryType::checkmark: symbol = "checkmark"; break;
        case TableViewCellAccessoryType::detailButton:
        case TableViewCellAccessoryType::detailDisclosureButton: symbol = "info.circle"; break;
    }
    // Set only when it changes: each layout asks, and a new image would paint the row again.
    if (symbol == m_indicatorSymbol) return;
    m_indicatorSymbol = symbol;
    m_indicator->setImage(Image::systemImage(symbol));
}

void TableViewCell::layoutContent() {
    CollectionViewCell::layoutContent();
    const Rect row = bounds();
    const bool rightToLeft = isRightToLeft();
    // The accessory at the trailing edge: the left one when the row reads right to left.
    const auto atTrailingEdge = [&](View& view, Size size) {
        const double x = rightToLeft ? kAccessoryTrailingInset : row.width() - kAccessoryTrailingInset - size.width;
        view.setFrame(Rect(x, (row.height() - size.height) / 2, size.width, size.height));
        return kAccessoryTrailingInset + size.width;
    };
    // What the accessory takes from the trailing side of the content.
    double taken = 0;
    if (m_indicator) m_indicator->setHidden(m_accessoryView != nullptr);
    // The row's direction is known once it is in a window, and follows the window's.
    showIndicatorSymbol();
    if (m_accessoryView) {
        taken = atTrailingEdge(*m_accessoryView, m_accessoryView->frame().size);
    } else if (m_indicator) {
        const double side = m_accessoryType == TableViewCellAccessoryType::disclosureIndicator ? 13 : 20;
        taken = atTrailingEdge(*m_indicator, {side, side});
    }
    const Rect content = contentView()->bounds();
    const double width = std::max(0.0, content.width() - taken);
    placeRowContent(
        Rect(rightToLeft ? content.maxX() - width : content.minX(), content.minY(), width, content.height()),
        {layoutMargins(), m_style == TableViewCellStyle::subtitle, ListContentView::kImageWidth, rightToLeft},
        m_imageView.get(), m_textLabel.get(), m_detailTextLabel.get());
}

}  // namespace ui
