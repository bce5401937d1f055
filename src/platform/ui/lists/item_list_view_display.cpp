// The layout pass of a list view and the elements it shows: cells and boundary views exist only
// for what meets the visible bounds plus a margin, and follow the content offset.
#include <algorithm>

#include "platform/base/fatal.h"
#include "platform/ui/lists/item_list_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

namespace {

// Self-sizing settles in a pass or two; the cap keeps cells that change their size whenever
// they are measured from looping.
constexpr int maximumMeasuringPasses = 4;

}  // namespace

const ListGeometry& ItemListView::geometry() {
    checkMainThread();
    ensureGeometry();
    return m_geometry;
}

void ItemListView::setBounds(const Rect& bounds) {
    checkMainThread();
    const Rect before = this->bounds();
    ScrollView::setBounds(bounds);
    // Scrolling shows and retires cells at once; a new size waits for the layout pass it asked for.
    if (before.size == bounds.size && !(before.origin == bounds.origin)) {
        placeBackgroundView();
        layoutItems();
    }
}

void ItemListView::layoutSubviews() {
    checkMainThread();
    ScrollView::layoutSubviews();
    placeBackgroundView();
    layoutItems();
}

void ItemListView::setBackgroundView(std::shared_ptr<View> view) {
    checkMainThread();
    if (m_backgroundView) m_backgroundView->removeFromSuperview();
    m_backgroundView = std::move(view);
    if (m_backgroundView) insertSubview(m_backgroundView, 0);
    setNeedsLayout();
}

void ItemListView::placeBackgroundView() {
    if (!m_backgroundView) return;
    m_backgroundView->setFrame(bounds());
    sendSubviewToBack(m_backgroundView);  // cells shown since stay above it
}

void ItemListView::traitCollectionDidChange(const TraitCollection& previous) {
    ScrollView::traitCollectionDidChange(previous);
    setNeedsLayout();
}

void ItemListView::layoutItems() {
    if (m_inLayout) return;  // a data source that scrolls while it makes a cell waits for the next pass
    m_inLayout = true;
    for (int pass = 0; pass < maximumMeasuringPasses; ++pass) {
        ensureGeometry();
        showVisibleElements();
        if (!measureShownElements()) break;
    }
    m_inLayout = false;
}

void ItemListView::ensureGeometry() {
    auto layout = listLayout();
    const LayoutKey key{bounds().size,     adjustedContentInset(), layoutMargins(),
                        traitCollection(), layout.get(),           layout ? layout->invalidations() : 0};
    if (m_geometryValid && key == m_preparedFor) return;
    // Heights measured at another width say nothing about this one.
    if (key.container.width != m_preparedFor.container.width) m_measured = {};
    ListLayoutContext context{key.container, key.inset, key.traits, m_counts, &m_measured, key.margins};
    m_geometry = layout ? layout->prepare(context) : ListGeometry{};
    if (isRightToLeft()) m_geometry.mirrorHorizontally();
    const EdgeInsets oldInset = m_preparedFor.inset;
    m_preparedFor = key;
    m_geometryValid = true;
    setContentSize(m_geometry.contentSize);
    // Content at rest under the old insets (a safe area, a bar) comes to rest under the new
    // ones, so the first item shows below the top inset rather than behind it.
    if (contentOffset() == Point{-oldInset.left, -oldInset.top} && !(oldInset == key.inset))
        setContentOffset({-key.inset.left, -key.inset.top});
}

void ItemListView::showVisibleElements() {
    const Rect visible = bounds();
    // Nothing shows in a list without a size.
    const Rect area = visible.isEmpty() ? Rect::null() : visible.insetBy(0, -displayMargin);
    showCells(area);
    showSupplementaries(area);
}

void ItemListView::showCells(const Rect& area) {
    const auto wanted = area.isNull() ? std::vector<IndexPath>{} : m_geometry.itemsIn(area);
    for (auto it = m_cells.begin(); it != m_cells.end();) {
        if (std::binary_search(wanted.begin(), wanted.end(), it->first)) {
            ++it;
            continue;
        }
        const auto cell = it->second;
        const auto indexPath = it->first;
        it = m_cells.erase(it);
        retire(cell, indexPath);
    }
    for (const auto& indexPath : wanted) {
        const Rect frame = *m_geometry.itemFrame(indexPath);
        if (auto shown = cellAt(indexPath)) {
            if (!(shown->frame() == frame)) shown->setFrame(frame);
        } else {
            show(indexPath, frame);
        }
    }
    tellDisplayChanges();
}

void ItemListView::tellDisplayChanges() {
    // Cells in the margin are ready but not yet seen: the delegate hears of a cell when it comes
    // into the bounds and when it leaves them, so what it was told matches the visible items.
    const auto cells = m_cells;
    for (const auto& [indexPath, cell] : cells) {
        const bool inBounds = isInBounds(cell->frame());
        if (inBounds == (m_displayed.count(cell.get()) > 0)) continue;
        if (inBounds) {
            m_displayed.insert(cell.get());
            willDisplay(*cell, indexPath);
        } else {
            m_displayed.erase(cell.get());
            didEndDisplaying(*cell, indexPath);
        }
    }
}

void ItemListView::showSupplementaries(const Rect& area) {
    const EdgeInsets inset = adjustedContentInset();
    const Rect pinArea = bounds().inset({inset.top, 0, inset.bottom, 0});
    const auto wanted =
        area.isNull() ? std::vector<PlacedSupplementary>{} : m_geometry.supplementariesIn(area, pinArea);
    std::map<SupplementaryKey, const PlacedSupplementary*> byKey;
    for (const auto& placed : wanted) byKey[{placed.kind, placed.indexPath.section}] = &placed;
    for (auto it = m_supplementaries.begin(); it != m_supplementaries.end();) {
        if (byKey.count(it->first)) {
            ++it;
            continue;
        }
        const auto [kind, section] = it->first;
        const auto view = it->second;
        it = m_supplementaries.erase(it);
        supplementaryDidEndDisplaying(view, kind, {section, 0});
    }
    for (const auto& [key, placed] : byKey) {
        auto& shown = m_supplementaries[key];
        if (!shown) {
            shown = dataSupplementary(placed->kind, placed->indexPath);
            if (!shown) {
                m_supplementaries.erase(key);
                continue;
            }
            if (shown->superview().get() != this) addSubview(shown);
            shown->setFrame(placed->frame);
            willDisplaySupplementary(*shown, placed->kind, placed->indexPath);
        } else if (!(shown->frame() == placed->frame)) {
            shown->setFrame(placed->frame);
        }
        shown->layer().setZPosition(placed->zIndex);
        // Raised views (pinned headers) stay above the cells that scroll under them.
        if (placed->zIndex > 0 && subviews().back() != shown) bringSubviewToFront(shown);
    }
}

bool ItemListView::measureShownElements() {
    bool changed = false;
    for (const auto& [indexPath, cell] : m_cells) {
        if (!m_geometry.isSelfSizing(indexPath)) continue;
        if (m_measured.itemHeights.count(indexPath) && !m_remeasure.count(indexPath)) continue;
        m_remeasure.erase(indexPath);
        const Rect frame = cell->frame();
        const double height = cell->preferredLayoutHeight(frame.width(), frame.height());
        auto [it, inserted] = m_measured.itemHeights.try_emplace(indexPath, height);
        if (!inserted && it->second == height) continue;
        it->second = height;
        if (height != frame.height()) changed = true;
    }
    for (const auto& section : m_geometry.sections) {
        const int s = static_cast<int>(&section - m_geometry.sections.data());
        for (const auto& placement : section.supplementaries) {
            if (!placement.selfSizing) continue;
            const SupplementaryKey key{placement.kind, s};
            const auto shown = m_supplementaries.find(key);
            if (shown == m_supplementaries.end() || m_measured.supplementaryHeights.count(key)) continue;
            auto* reusable = dynamic_cast<CollectionReusableView*>(shown->second.get());
            const double height =
                reusable ? reusable->preferredLayoutHeight(placement.frame.width(), placement.frame.height())
                         : placement.frame.height();
            m_measured.supplementaryHeights[key] = height;
            if (height != placement.frame.height()) changed = true;
        }
    }
    if (changed) invalidateGeometry();
    return changed;
}

void ItemListView::show(const IndexPath& indexPath, const Rect& frame) {
    auto cell = dataCell(indexPath);
    if (!cell) base::fatal("the data source returned no cell");
    if (cell->superview().get() != this) addSubview(cell);
    cell->setFrame(frame);
    cell->setSelected(m_selected.count(indexPath) > 0);
    m_cells[indexPath] = cell;
}

void ItemListView::retire(const std::shared_ptr<CollectionViewCell>& cell, const IndexPath& indexPath) {
    if (m_displayed.erase(cell.get())) didEndDisplaying(*cell, indexPath);
    cell->setSelected(false);
    cell->setHighlighted(false);
    if (cell->reuseIdentifier().empty()) {
        cell->removeFromSuperview();
    } else {
        m_pool.enqueue(cell);
    }
}

void ItemListView::retireAll() {
    auto cells = std::move(m_cells);
    m_cells.clear();
    for (const auto& [indexPath, cell] : cells) retire(cell, indexPath);
    auto supplementaries = std::move(m_supplementaries);
    m_supplementaries.clear();
    for (const auto& [key, view] : supplementaries) supplementaryDidEndDisplaying(view, key.first, {key.second, 0});
}

}  // namespace ui
