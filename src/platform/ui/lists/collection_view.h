#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/lists/collection_view_data_source.h"
#include "platform/ui/lists/collection_view_delegate.h"
#include "platform/ui/lists/collection_view_drag_delegate.h"
#include "platform/ui/lists/collection_view_drop_delegate.h"
#include "platform/ui/lists/compositional_layout.h"
#include "platform/ui/lists/element_kind.h"
#include "platform/ui/lists/item_list_view.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

// A collection view: items from a data source through reusable cells placed by a layout
// (compositional, list or flow), headers and footers from the data source, selection, context
// menus and drag and drop. Tests act as the user with `Window::tap`, `tapItem`, `contextMenu`,
// `drag` and `drop`. Observers hear `reloadData` before it runs.
class CollectionView : public ItemListView {
public:
    static constexpr const char* elementKindSectionHeader = ui::elementKindSectionHeader;
    static constexpr const char* elementKindSectionFooter = ui::elementKindSectionFooter;

    static std::shared_ptr<CollectionView> create(const Rect& frame, std::shared_ptr<CollectionViewLayout> layout);
    std::string className() const override { return "CollectionView"; }

    std::shared_ptr<CollectionViewLayout> collectionViewLayout() const { return m_layout; }
    void setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout);
    // A compositional layout's section as its provider gives it for this view's size and traits
    // now (none for other layouts).
    std::optional<CollectionLayoutSection> layoutSection(int section) const;

    std::shared_ptr<CollectionViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<CollectionViewDataSource>& dataSource) {
        checkMainThread();
        m_dataSource = dataSource;
    }
    std::shared_ptr<CollectionViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<CollectionViewDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }
    std::shared_ptr<CollectionViewDragDelegate> dragDelegate() const { return m_dragDelegate.lock(); }
    void setDragDelegate(const std::shared_ptr<CollectionViewDragDelegate>& d) {
        checkMainThread();
        m_dragDelegate = d;
    }
    std::shared_ptr<CollectionViewDropDelegate> dropDelegate() const { return m_dropDelegate.lock(); }
    void setDropDelegate(const std::shared_ptr<CollectionViewDropDelegate>& d) {
        checkMainThread();
        m_dropDelegate = d;
    }

    void registerCell(const std::string& identifier, ReusePool::Factory factory);
    void registerNib(const std::shared_ptr<Nib>& nib, const std::string& identifier);
    void registerSupplementary(const std::string& kind, const std::string& identifier, ReusePool::Factory factory);
    std::shared_ptr<CollectionReusableView> dequeueSupplementary(const std::string& kind, const std::string& identifier,
                                                                 const IndexPath& indexPath);
    // The header or footer the data source gives for a section.
    std::shared_ptr<CollectionReusableView> supplementaryView(const std::string& kind, const IndexPath& indexPath);
    // The header or footer shown for a section, if it is in view.
    std::shared_ptr<CollectionReusableView> visibleSupplementaryView(const std::string& kind, int section) const;

    void reloadData() override;
    void reloadItems(const std::vector<IndexPath>& items);
    // Scrolls the least that shows the whole item.
    void scrollToItem(const IndexPath& indexPath);
    std::optional<IndexPath> lastScrolledToItem() const { return m_lastScrolledTo; }

    // User actions.
    // A long press: the delegate's configuration; with one, the preview it lifts is recorded.
    std::shared_ptr<ContextMenuConfiguration> contextMenu(const IndexPath& indexPath, Point point = {});
    // The menu of `configuration` closes: the preview it sets down is recorded.
    void endContextMenu(const ContextMenuConfiguration& configuration);
    // The last previews the delegate gave (none: the whole cell).
    std::shared_ptr<TargetedPreview> contextMenuHighlightPreview() const { return m_highlightPreview; }
    std::shared_ptr<TargetedPreview> contextMenuDismissPreview() const { return m_dismissPreview; }
    // A drag from an item: none when there is no drag delegate or it offers no items.
    std::shared_ptr<DragSession> drag(const IndexPath& indexPath);
    // The user drags the content (scrolls).
    using ScrollView::drag;
    // A drag over the view: the drop delegate's proposal (cancel without one).
    DropProposal dragOver(const std::shared_ptr<DragSession>& session, const std::optional<IndexPath>& destination);
    // Drops: the delegate's proposal, then its performDrop unless cancelled or forbidden.
    bool drop(const std::shared_ptr<DragSession>& session, const std::optional<IndexPath>& destination);

protected:
    explicit CollectionView(const Rect& frame) : ItemListView(frame) {}

    int dataSectionCount() override;
    int dataItemCount(int section) override;
    std::shared_ptr<CollectionViewCell> dataCell(const IndexPath& indexPath) override;
    std::shared_ptr<CollectionViewLayout> listLayout() const override { return m_layout; }
    std::shared_ptr<View> dataSupplementary(const std::string& kind, const IndexPath& indexPath) override;
    void supplementaryDidEndDisplaying(const std::shared_ptr<View>& view, const std::string& kind,
                                       const IndexPath& indexPath) override;
    bool shouldSelect(const IndexPath& indexPath) override;
    void didSelect(const IndexPath& indexPath) override;
    bool shouldDeselect(const IndexPath& indexPath) override;
    void didDeselect(const IndexPath& indexPath) override;
    void willDisplay(CollectionViewCell& cell, const IndexPath& indexPath) override;
    void didEndDisplaying(CollectionViewCell& cell, const IndexPath& indexPath) override;

private:
    std::shared_ptr<CollectionViewLayout> m_layout;
    std::weak_ptr<CollectionViewDataSource> m_dataSource;
    std::weak_ptr<CollectionViewDelegate> m_delegate;
    std::weak_ptr<CollectionViewDragDelegate> m_dragDelegate;
    std::weak_ptr<CollectionViewDropDelegate> m_dropDelegate;
    ReusePool m_supplementaryPool;
    std::optional<IndexPath> m_lastScrolledTo;
    std::shared_ptr<TargetedPreview> m_highlightPreview;
    std::shared_ptr<TargetedPreview> m_dismissPreview;
};

}  // namespace ui
