#include "platform/ui/lists/collection_view_cell.h"

#include <algorithm>

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
constexpr double kAccessorySpacing = 8;

// The symbol an indicator shows: a chevron points the way the row reads on, towards the trailing
// edge it sits at.
std::string indicatorSymbol(CellAccessory::Kind kind, bool rightToLeft) {
    if (kind == CellAccessory::Kind::checkmark) return "checkmark";
    return rightToLeft ? "chevron.left" : "chevron.right";
}

}  // namespace

std::optional<CollectionViewCell::PlacedAccessory> CollectionViewCell::placed(const CellAccessory& accessory) {
    if (accessory.displayed == CellAccessory::Displayed::whenEditing) return std::nullopt;
    switch (accessory.kind) {
        case CellAccessory::Kind::customView:
            if (!accessory.view) return std::nullopt;
            return PlacedAccessory{accessory.view, accessory.kind, {}};
        case CellAccessory::Kind::disclosureIndicator:
        case CellAccessory::Kind::checkmark: {
            auto indicator = CellAccessoryIndicatorView::create();
            indicator->setTintColor(accessory.tintColor ? accessory.tintColor
                                    : accessory.kind == CellAccessory::Kind::disclosureIndicator
                                        ? std::optional<Color>(Color::tertiaryLabel())
                                        : std::nullopt);
            return PlacedAccessory{indicator, accessory.kind, {}};
        }
        default: return std::nullopt;
    }
}

void CollectionViewCell::setAccessories(std::vector<CellAccessory> accessories) {
    checkMainThread();
    for (const auto& old : m_placed)
        if (old.view->superview().get() == this) old.view->removeFromSuperview();
    m_placed.clear();
    m_accessories = std::move(accessories);
    contentView();  // made first, so the accessories lie above it
    for (const auto& accessory : m_accessories) {
        auto shown = placed(accessory);
        if (!shown) continue;
        shown->view->setHidden(accessory.isHidden);
        addSubview(shown->view);
        m_placed.push_back(std::move(*shown));
    }
    placeAccessories();
    if (m_contentView) m_contentView->setNeedsLayout();
}

double CollectionViewCell::placeAccessories() {
    const double width = bounds().width();
    const bool rightToLeft = isRightToLeft();
    double trailing = width - kAccessoryTrailingInset;
    double taken = 0;
    for (auto it = m_placed.rbegin(); it != m_placed.rend(); ++it) {
        Size size;
        if (it->kind == CellAccessory::Kind::customView) {
            size = it->view->sizeThatFits(bounds().size);
        } else {
            // Set only when it changes: each layout asks, and a new image would paint the row again.
            const auto symbol = indicatorSymbol(it->kind, rightToLeft);
            if (symbol != it->symbol) {
                it->symbol = symbol;
                std::static_pointer_cast<ImageView>(it->view)->setImage(Image::systemImage(symbol));
            }
            const double side = it->kind == CellAccessory::Kind::disclosureIndicator ? 13 : 20;
            size = Size(side, side);
        }
        // Trailing is the left edge when the row reads right to left.
        const double x = rightToLeft ? width - trailing : trailing - size.width;
        it->view->setFrame(Rect(x, (bounds().height() - size.height) / 2, size.width, size.height));
        trailing -= size.width + kAccessorySpacing;
        // A mark takes its place from the content. A custom view (a switch) lies in the trailing
        // layout margin the screens that use one set wide enough for it: taking its width as well
        // would wrap their texts past the rows' estimated heights.
        if (it->kind != CellAccessory::Kind::customView) taken = width - trailing - kAccessorySpacing;
    }
    return taken;
}

void CollectionViewCell::layoutContent() {
    const double taken = placeAccessories();
    if (!m_listContent) return;
    const Rect content = contentView()->bounds();
    const double contentWidth = std::max(0.0, content.width() - taken);
    m_listContent->setFrame(Rect(isRightToLeft() ? content.maxX() - contentWidth : content.minX(), content.minY(),
                                 contentWidth, content.height()));
    m_listContent->setLayoutMargins(layoutMargins());
}

void CollectionViewCell::prepareForReuse() {
    checkMainThread();
    CollectionReusableView::prepareForReuse();
    m_highlighted = false;
}

}  // namespace ui
