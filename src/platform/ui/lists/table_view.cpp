#include "platform/ui/lists/table_view.h"

#include <algorithm>

#include "platform/base/fatal.h"
#include "platform/ui/lists/list_layout_configuration.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/screen.h"
#include "platform/ui/views/window.h"

namespace ui {

std::shared_ptr<TableView> TableView::create(const Rect& frame, TableViewStyle style) {
    return make<TableView>(frame, style);
}

TableView::TableView(const Rect& frame, TableViewStyle style)
    : ItemListView(frame),
      m_style(style),
      m_layout(TableViewLayout::create()),
      m_sectionHeaderHeight(style == TableViewStyle::plain ? 28 : 38) {
    // The layout lives as long as the table and only runs inside the table's layout pass.
    m_layout->rowHeight = [this](const IndexPath& indexPath) {
        auto d = delegate();
        const auto given = d ? d->heightForRow(*this, indexPath) : std::nullopt;
        return given.value_or(m_rowHeight);
    };
    m_layout->headerHeight = [this](int section) { return boundaryHeight(true, section); };
    m_layout->footerHeight = [this](int section) { return boundaryHeight(false, section); };
    m_layout->insetsRows = style == TableViewStyle::insetGrouped;
    m_layout->pinsHeaders = style == TableViewStyle::plain;
}

double TableView::boundaryHeight(bool header, int section) {
    auto d = delegate();
    const auto given =
        d ? (header ? d->heightForHeader(*this, section) : d->heightForFooter(*this, section)) : std::nullopt;
    if (given) return *given;
    const auto view = header ? headerView(section) : footerView(section);
    if (view) {
        const double height = header ? m_sectionHeaderHeight : m_sectionFooterHeight;
        // A titled header or footer grows to show a title that wraps.
        if (auto titled = std::dynamic_pointer_cast<TableViewHeaderFooterView>(view))
            return titled->heightFitting(boundaryWidth(), height);
        return height;
    }
    return m_style == TableViewStyle::plain ? 0 : groupedSectionSpacing;
}

double TableView::boundaryWidth() const {
    const double width = bounds().size.width;
    if (m_style != TableViewStyle::insetGrouped) return width;
    const EdgeInsets sides = ListMetrics::insetGroupedSides(layoutMargins());
    return std::max(0.0, width - sides.left - sides.right);
}

void TableView::setRowHeight(double height) {
    checkMainThread();
    m_rowHeight = height;
    m_layout->invalidateLayout();
    setNeedsLayout();
}

void TableView::setSectionHeaderHeight(double height) {
    checkMainThread();
    m_sectionHeaderHeight = height;
    m_layout->invalidateLayout();
    setNeedsLayout();
}

void TableView::setSectionFooterHeight(double height) {
    checkMainThread();
    m_sectionFooterHeight = height;
    m_layout->invalidateLayout();
    setNeedsLayout();
}

void TableView::setTableFooterView(std::shared_ptr<View> view) {
    checkMainThread();
    if (m_tableFooterView) m_tableFooterView->removeFromSuperview();
    m_tableFooterView = std::move(view);
    if (m_tableFooterView) addSubview(m_tableFooterView);
    m_layout->trailingHeight = m_tableFooterView ? m_tableFooterView->frame().size.height : 0;
    m_layout->invalidateLayout();
    setNeedsLayout();
}

void TableView::layoutSubviews() {
    ItemListView::layoutSubviews();
    if (!m_tableFooterView) return;
    const double height = m_tableFooterView->frame().size.height;
    const double width = geometry().contentSize.width;
    m_tableFooterView->setFrame(Rect(0, geometry().contentSize.height - height, width, height));
}

std::optional<Rect> TableView::separatorFrame(const IndexPath& indexPath) {
    checkMainThread();
    if (m_separatorStyle == TableViewCellSeparatorStyle::none) return std::nullopt;
    if (indexPath.section < 0 || indexPath.section >= numberOfSections()) return std::nullopt;
    if (indexPath.item < 0 || indexPath.item >= numberOfItems(indexPath.section)) return std::nullopt;
    const auto row = frameForItem(indexPath);
    if (!row) return std::nullopt;
    auto cell = cellForRow(indexPath);
    const EdgeInsets inset = cell && cell->separatorInset() ? *cell->separatorInset() : m_separatorInset;
    const double width = row->size.width - inset.left - inset.right;
    if (!(width > 0)) return std::nullopt;
    // One pixel of the screen the table is on.
    auto shownOn = window();
    const double hairline = 1.0 / (shownOn ? shownOn->screen()->scale() : Screen::main()->scale());
    return Rect(row->origin.x + inset.left, row->origin.y + row->size.height - hairline, width, hairline);
}

void TableView::setEditing(bool editing, bool) {
    checkMainThread();
    m_editing = editing;
}

void TableView::registerCell(const std::string& identifier, ReusePool::Factory factory) {
    checkMainThread();
    reusePool().registerFactory(identifier, std::move(factory));
}

void TableView::registerNib(const std::shared_ptr<Nib>& nib, const std::string& identifier) {
    checkMainThread();
    reusePool().registerNib(nib, identifier);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier,
                                                              const IndexPath& indexPath) {
    checkMainThread();
    auto cell = std::dynamic_pointer_cast<TableViewCell>(dequeueCell(identifier, indexPath));
    if (!cell) base::fatal("the cell registered for '" + identifier + "' is not a table cell");
    return cell;
}

std::shared_ptr<TableViewCell> TableView::cellForRow(const IndexPath& indexPath) const {
    return std::dynamic_pointer_cast<TableViewCell>(cellAt(indexPath));
}

void TableView::registerHeaderFooter(const std::string& identifier,
                                     std::function<std::shared_ptr<TableViewHeaderFooterView>()> factory) {
    checkMainThread();
    m_headerFooterPool.registerFactory(identifier, [factory = std::move(factory)] { return factory(); });
}

std::shared_ptr<TableViewHeaderFooterView> TableView::dequeueReusableHeaderFooterView(const std::string& identifier) {
    checkMainThread();
    if (!m_headerFooterPool.isRegistered(identifier)) return nullptr;
    return std::dynamic_pointer_cast<TableViewHeaderFooterView>(
        m_headerFooterPool.dequeue(identifier, "header or footer view"));
}

std::optional<std::string> TableView::headerTitle(int section) {
    checkMainThread();
    auto source = dataSource();
    return source ? source->titleForHeader(*this, section) : std::nullopt;
}

std::optional<std::string> TableView::footerTitle(int section) {
    checkMainThread();
    auto source = dataSource();
    return source ? source->titleForFooter(*this, section) : std::nullopt;
}

std::shared_ptr<View> TableView::headerView(int section) const {
    const auto it = m_headers.find(section);
    return it == m_headers.end() ? nullptr : it->second;
}

std::shared_ptr<View> TableView::footerView(int section) const {
    const auto it = m_footers.find(section);
    return it == m_footers.end() ? nullptr : it->second;
}

void TableView::sectionsDidChange() {
    auto d = delegate();
    auto make = [&](bool header, int section) -> std::shared_ptr<View> {
        std::shared_ptr<View> view =
            d ? (header ? d->viewForHeader(*this, section) : d->viewForFooter(*this, section)) : nullptr;
        if (view) return view;
        const auto title = header ? headerTitle(section) : footerTitle(section);
        if (!title) return nullptr;
        auto titled = TableViewHeaderFooterView::create();
        titled->textLabel()->setText(*title);
        return titled;
    };
    // The dequeued views shown so far wait for the next dequeue; others are let go.
    auto recycle = [this](const std::shared_ptr<View>& view) {
        auto reusable = std::dynamic_pointer_cast<CollectionReusableView>(view);
        if (reusable && m_headerFooterPool.isRegistered(reusable->reuseIdentifier()))
            m_headerFooterPool.enqueue(reusable);
    };
    for (const auto& [section, header] : m_headers) recycle(header);
    for (const auto& [section, footer] : m_footers) recycle(footer);
    m_headers.clear();
    m_footers.clear();
    for (int section = 0; section < numberOfSections(); ++section) {
        if (auto header = make(true, section)) m_headers[section] = header;
        if (auto footer = make(false, section)) m_footers[section] = footer;
    }
    // New views, new heights.
    invalidateGeometry();
}

std::shared_ptr<View> TableView::dataSupplementary(const std::string& kind, const IndexPath& indexPath) {
    return kind == elementKindSectionHeader ? headerView(indexPath.section) : footerView(indexPath.section);
}

void TableView::willDisplaySupplementary(View& view, const std::string& kind, const IndexPath& indexPath) {
    auto d = delegate();
    if (!d) return;
    if (kind == elementKindSectionHeader) {
        d->willDisplayHeaderView(*this, view, indexPath.section);
    } else {
        d->willDisplayFooterView(*this, view, indexPath.section);
    }
}

void TableView::reloadData() {
    checkMainThread();
    notifyWillReload();
    performReloadData();
}

void TableView::endUpdates() {
    checkMainThread();
    performEndUpdates();
    if (m_updateDepth == 0) notifyDidEndUpdates();
}

void TableView::performEndUpdates() {
    checkMainThread();
    if (m_updateDepth > 0) --m_updateDepth;
    if (m_updateDepth == 0) performUpdates([](const IndexPath& p) { return std::optional<IndexPath>(p); }, {});
}

void TableView::reloadRows(const std::vector<IndexPath>& rows) {
    checkMainThread();
    performUpdates([](const IndexPath& p) { return std::optional<IndexPath>(p); }, {rows.begin(), rows.end()});
}

int TableView::dataSectionCount() {
    auto source = dataSource();
    return source ? source->numberOfSections(*this) : 0;
}

int TableView::dataItemCount(int section) {
    auto source = dataSource();
    return source ? source->numberOfRows(*this, section) : 0;
}

std::shared_ptr<CollectionViewCell> TableView::dataCell(const IndexPath& indexPath) {
    auto source = dataSource();
    if (!source) base::fatal("asked for a cell without a data source");
    return source->cellForRow(*this, indexPath);
}

bool TableView::shouldHighlight(const IndexPath& p) {
    auto d = delegate();
    return !d || d->shouldHighlightRow(*this, p);
}
bool TableView::shouldSelect(const IndexPath& p) {
    auto d = delegate();
    return !d || d->shouldSelectRow(*this, p);
}
void TableView::didSelect(const IndexPath& p) {
    auto d = delegate();
    if (!d) return;
    d->didSelectRow(*this, p);
    d->rowSelectionDidEnd(*this, p);
}
void TableView::didDeselect(const IndexPath& p) {
    if (auto d = delegate()) d->didDeselectRow(*this, p);
}
void TableView::willDisplay(CollectionViewCell& cell, const IndexPath& p) {
    auto d = delegate();
    auto* row = dynamic_cast<TableViewCell*>(&cell);
    if (d && row) d->willDisplayCell(*this, *row, p);
}

}  // namespace ui
