#include "platform/ui/lists/list_content_view.h"

#include <algorithm>
#include <initializer_list>

#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<CellContentView> CellContentView::create(const Rect& frame, std::function<void()> layout) {
    return make<CellContentView>(frame, std::move(layout));
}

void CellContentView::layoutSubviews() {
    View::layoutSubviews();
    if (m_layout) m_layout();
}

namespace {

void placeLeftToRight(const Rect& bounds, const RowContentPlacement& placement, ImageView* image, Label* text,
                      Label* secondary) {
    double leading = bounds.minX() + placement.margins.left;
    const double trailing = std::max(leading, bounds.maxX() - placement.margins.right);
    if (image && image->image()) {
        const double side = std::min(placement.imageWidth, bounds.height());
        image->setFrame(Rect(leading, bounds.minY() + (bounds.height() - side) / 2, side, side));
        leading += side + ListContentView::kImageTextSpacing;
    } else if (image) {
        image->setFrame(Rect(leading, bounds.midY(), 0, 0));
    }
    const double width = std::max(0.0, trailing - leading);
    const bool hasSecondary = secondary && secondary->text() && !secondary->text()->empty();
    if (!hasSecondary) {
        if (text) text->setFrame(Rect(leading, bounds.minY(), width, bounds.height()));
        if (secondary) secondary->setFrame(Rect(trailing, bounds.midY(), 0, 0));
        return;
    }
    if (placement.stacked) {
        const double top = text ? text->sizeThatFits(Size(width, bounds.height())).height : 0;
        const double bottom = secondary->sizeThatFits(Size(width, bounds.height())).height;
        const double y = bounds.minY() + std::max(0.0, (bounds.height() - top - bottom) / 2);
        if (text) text->setFrame(Rect(leading, y, width, top));
        secondary->setFrame(Rect(leading, y + top, width, bottom));
        return;
    }
    // Side by side: the second text keeps its own width at the trailing edge, the first the rest.
    const double second = std::min(width, secondary->sizeThatFits(Size(width, bounds.height())).width);
    secondary->setFrame(Rect(trailing - second, bounds.minY(), second, bounds.height()));
    if (text) text->setFrame(Rect(leading, bounds.minY(), std::max(0.0, width - second - 8), bounds.height()));
}

}  // namespace

void placeRowContent(const Rect& bounds, const RowContentPlacement& placement, ImageView* image, Label* text,
                     Label* secondary) {
    placeLeftToRight(bounds, placement, image, text, secondary);
    if (!placement.rightToLeft) return;
    for (View* view : std::initializer_list<View*>{image, text, secondary}) {
        if (!view) continue;
        Rect frame = view->frame();
        frame.origin.x = bounds.minX() + bounds.maxX() - frame.maxX();
        view->setFrame(frame);
    }
}

std::shared_ptr<ListContentView> ListContentView::create(const Rect& frame) {
    auto view = make<ListContentView>(frame);
    view->setUp();
    return view;
}

void ListContentView::setUp() {
    setUserInteractionEnabled(false);
    setLayoutMargins(kCellMargins);
    m_image = ImageView::create();
    m_text = Label::create();
    m_secondary = Label::create();
    addSubview(m_image);
    addSubview(m_text);
    addSubview(m_secondary);
}

void ListContentView::apply(const ListContentConfiguration& c) {
    checkMainThread();
    using Style = ListContentConfiguration::Style;
    m_style = c.style;
    const bool header = c.style != Style::cell && c.style != Style::subtitleCell && c.style != Style::valueCell &&
                        c.style != Style::sidebarCell;
    if (c.attributedText) {
        m_text->setAttributedText(c.attributedText);
    } else {
        m_text->setText(c.text);
    }
    m_text->setFont(c.textProperties.font.value_or(Font::systemFont(header ? 13 : 17)));
    m_text->setTextColor(c.textProperties.color.value_or(header ? Color::secondaryLabel() : Color::label()));
    m_text->setNumberOfLines(c.textProperties.numberOfLines);
    m_secondary->setText(c.secondaryText);
    m_secondary->setFont(
        c.secondaryTextProperties.font.value_or(Font::systemFont(c.style == Style::subtitleCell ? 15 : 17)));
    m_secondary->setTextColor(c.secondaryTextProperties.color.value_or(Color::secondaryLabel()));
    m_secondary->setNumberOfLines(c.secondaryTextProperties.numberOfLines);
    m_secondary->setTextAlignment(c.style == Style::valueCell ? TextAlignment::right : TextAlignment::natural);
    m_image->setImage(c.image);
    m_image->setTintColor(c.imageProperties.tintColor);
    m_imageMaximumWidth = c.imageProperties.maximumWidth;
    setNeedsLayout();
}

void ListContentView::layoutSubviews() {
    View::layoutSubviews();
    placeRowContent(bounds(),
                    {layoutMargins(), m_style != ListContentConfiguration::Style::valueCell,
                     m_imageMaximumWidth.value_or(kImageWidth), isRightToLeft()},
                    m_image.get(), m_text.get(), m_secondary.get());
}

std::shared_ptr<CellAccessoryIndicatorView> CellAccessoryIndicatorView::create() {
    auto view = make<CellAccessoryIndicatorView>();
    view->setUserInteractionEnabled(false);
    view->setContentMode(ContentMode::scaleAspectFit);
    return view;
}

}  // namespace ui
