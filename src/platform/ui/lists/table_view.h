#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/ui/lists/item_list_view.h"
#include "platform/ui/lists/table_view_cell.h"
#include "platform/ui/lists/table_view_data_source.h"
#include "platform/ui/lists/table_view_delegate.h"
#include "platform/ui/lists/table_view_header_footer_view.h"
#include "platform/ui/lists/table_view_layout.h"
#include "platform/ui/views/color.h"
#include "platform/ui/views/edge_insets.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/visual_effect_view.h"

namespace ui {

enum class TableViewCellSeparatorStyle { none, singleLine };

enum class TableViewStyle { plain, grouped, insetGrouped };

// A table: rows from a data source through reusable cells, section headers and footers,
// selection and editing. Rows, headers and footers are stacked by their heights (the delegate's,
// else `rowHeight`, `sectionHeaderHeight` and `sectionFooterHeight`); only those in view have
// views, and plain tables keep the header of the section in view on top. Observers hear
// `reloadData` before it runs and the outermost `endUpdates` after it ran.
class TableView : public ItemListView {
public:
    static std::shared_ptr<TableView> create(const Rect& frame = {}, TableViewStyle style = TableViewStyle::plain);
    std::string className() const override { return "TableView"; }

    TableViewStyle style() const { return m_style; }
    std::shared_ptr<TableViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<TableViewDataSource>& d) {
        checkMainThread();
        m_dataSource = d;
    }
    std::shared_ptr<TableViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TableViewDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }
    bool isEditing() const { return m_editing; }
    void setEditing(bool editing, bool animated = false);
    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double height);
    // For sections that have a header (or footer) view or title and no height from the delegate.
    double sectionHeaderHeight() const { return m_sectionHeaderHeight; }
    void setSectionHeaderHeight(double height);
    double sectionFooterHeight() const { return m_sectionFooterHeight; }
    void setSectionFooterHeight(double height);
    // Separators between rows, and the vibrancy (made for a blur of that style) they are drawn with.
    TableViewCellSeparatorStyle separatorStyle() const { return m_separatorStyle; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style) {
        checkMainThread();
        m_separatorStyle = style;
    }
    Color separatorColor() const { return m_separatorColor; }
    void setSeparatorColor(Color color) {
        checkMainThread();
        m_separatorColor = std::move(color);
    }
    // Where separators start and end across a row; a cell's own inset takes its place.
    EdgeInsets separatorInset() const { return m_separatorInset; }
    void setSeparatorInset(EdgeInsets inset) {
        checkMainThread();
        m_separatorInset = inset;
    }
    // The hairline under a row, in the table's content: none without separators or when the insets
    // leave no width (how a row hides its own).
    std::optional<Rect> separatorFrame(const IndexPath& indexPath);
    // A plain table keeps drawing separators through the empty space below its last row until it
    // has a footer view (an empty one is enough).
    bool drawsFillerSeparators() const {
        return m_style == TableViewStyle::plain && m_separatorStyle != TableViewCellSeparatorStyle::none &&
               !m_tableFooterView;
    }
    // The view under every section, at its own height and the table's width.
    std::shared_ptr<View> tableFooterView() const { return m_tableFooterView; }
    void setTableFooterView(std::shared_ptr<View> view);
    std::optional<VisualEffectView::BlurStyle> separatorEffect() const { return m_separatorEffect; }
    void setSeparatorEffect(std::optional<VisualEffectView::BlurStyle> vibrancyOf) {
        checkMainThread();
        m_separatorEffect = vibrancyOf;
    }
    // Space above each section header; none asks for the system's own.
    std::optional<double> sectionHeaderTopPadding() const { return m_sectionHeaderTopPadding; }
    void setSectionHeaderTopPadding(std::optional<double> padding) {
        checkMainThread();
        m_sectionHeaderTopPadding = padding;
    }
    // The gap grouped styles keep above and below a section without a header or footer.
    static constexpr double groupedSectionSpacing = 18;

    void registerCell(const std::string& identifier, ReusePool::Factory factory);
    void registerNib(const std::shared_ptr<Nib>& nib, const std::string& identifier);
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier, const IndexPath& indexPath);
    std::shared_ptr<TableViewCell> cellForRow(const IndexPath& indexPath) const;
    // Section header and footer views by identifier: a dequeue hands out one the table no longer
    // shows (after `prepareForReuse`) or a new one; none for an identifier nobody registered.
    void registerHeaderFooter(const std::string& identifier,
                              std::function<std::shared_ptr<TableViewHeaderFooterView>()> factory);
    std::shared_ptr<TableViewHeaderFooterView> dequeueReusableHeaderFooterView(const std::string& identifier);
    std::optional<std::string> headerTitle(int section);
    std::optional<std::string> footerTitle(int section);
    // The header and footer of a section: the delegate's view, else a header-footer view holding
    // the data source's title; none without either. They are in the table while in view.
    std::shared_ptr<View> headerView(int section) const;
    std::shared_ptr<View> footerView(int section) const;

    void reloadData() override;
    void beginUpdates() { ++m_updateDepth; }
    void endUpdates();
    void reloadRows(const std::vector<IndexPath>& rows);
    void selectRow(const IndexPath& indexPath) {
        checkMainThread();
        selectItem(indexPath);
    }
    void deselectRow(const IndexPath& indexPath) {
        checkMainThread();
        deselectItem(indexPath);
    }
    bool tapRow(const IndexPath& indexPath) { return tapItem(indexPath); }
    void performEndUpdates();
    void layoutSubviews() override;

protected:
    TableView(const Rect& frame, TableViewStyle style);

    int dataSectionCount() override;
    int dataItemCount(int section) override;
    std::shared_ptr<CollectionViewCell> dataCell(const IndexPath& indexPath) override;
    bool shouldHighlight(const IndexPath& indexPath) override;
    bool shouldSelect(const IndexPath& indexPath) override;
    void didSelect(const IndexPath& indexPath) override;
    void didDeselect(const IndexPath& indexPath) override;
    void willDisplay(CollectionViewCell& cell, const IndexPath& indexPath) override;
    void sectionsDidChange() override;
    std::shared_ptr<CollectionViewLayout> listLayout() const override { return m_layout; }
    std::shared_ptr<View> dataSupplementary(const std::string& kind, const IndexPath& indexPath) override;
    void willDisplaySupplementary(View& view, const std::string& kind, const IndexPath& indexPath) override;

private:
    double boundaryHeight(bool header, int section);
    // The width a header or footer gets: the rows' width.
    double boundaryWidth() const;

    TableViewStyle m_style;
    std::shared_ptr<TableViewLayout> m_layout;
    std::weak_ptr<TableViewDataSource> m_dataSource;
    std::weak_ptr<TableViewDelegate> m_delegate;
    bool m_editing = false;
    double m_rowHeight = 44;
    double m_sectionHeaderHeight;
    double m_sectionFooterHeight = 28;
    TableViewCellSeparatorStyle m_separatorStyle = TableViewCellSeparatorStyle::singleLine;
    Color m_separatorColor = Color::separator();
    EdgeInsets m_separatorInset{0, 16, 0, 0};
    std::optional<VisualEffectView::BlurStyle> m_separatorEffect;
    std::shared_ptr<View> m_tableFooterView;
    std::optional<double> m_sectionHeaderTopPadding;
    int m_updateDepth = 0;
    std::map<int, std::shared_ptr<View>> m_headers;
    std::map<int, std::shared_ptr<View>> m_footers;
    ReusePool m_headerFooterPool;
};

}  // namespace ui
