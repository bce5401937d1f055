#include "platform/ui/lists/collection_view.h"

#include <algorithm>

#include "platform/base/fatal.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<CollectionView> CollectionView::create(const Rect& frame,
                                                       std::shared_ptr<CollectionViewLayout> layout) {
    auto view = make<CollectionView>(frame);
    view->setCollectionViewLayout(std::move(layout));
    return view;
}

void CollectionView::setCollectionViewLayout(std::shared_ptr<CollectionViewLayout> layout) {
    checkMainThread();
    if (m_layout) m_layout->onInvalidate = nullptr;
    m_layout = std::move(layout);
    // A list lies on its appearance's background, so a picker presented over a screen hides it;
    // a colour set later on the view takes its place.
    if (auto compositional = std::dynamic_pointer_cast<CompositionalLayout>(m_layout);
        compositional && compositional->listBackgroundColor())
        setBackgroundColor(*compositional->listBackgroundColor());
    if (m_layout) {
        std::weak_ptr<CollectionView> weak = sharedAs<CollectionView>();
        m_layout->onInvalidate = [weak] {
            if (auto view = weak.lock()) view->setNeedsLayout();
        };
    }
    invalidateGeometry();
    setNeedsLayout();
}

std::optional<CollectionLayoutSection> CollectionView::layoutSection(int section) const {
    auto compositional = std::dynamic_pointer_cast<CompositionalLayout>(m_layout);
    if (!compositional) return std::nullopt;
    const EdgeInsets inset = adjustedContentInset();
    const Size size = bounds().size;
    const Size effective{std::max(0.0, size.width - inset.left - inset.right),
                         std::max(0.0, size.height - inset.top - inset.bottom)};
    return compositional->section(section, {effective, traitCollection()});
}

void CollectionView::registerCell(const std::string& identifier, ReusePool::Factory factory) {
    checkMainThread();
    reusePool().registerFactory(identifier, std::move(factory));
}

void CollectionView::registerNib(const std::shared_ptr<Nib>& nib, const std::string& identifier) {
    checkMainThread();
    reusePool().registerNib(nib, identifier);
}

void CollectionView::registerSupplementary(const std::string& kind, const std::string& identifier,
                                           ReusePool::Factory factory) {
    checkMainThread();
    m_supplementaryPool.registerFactory(kind + "/" + identifier, std::move(factory));
}

std::shared_ptr<CollectionReusableView> CollectionView::dequeueSupplementary(const std::string& kind,
                                                                             const std::string& identifier,
                                                                             const IndexPath&) {
    checkMainThread();
    return m_supplementaryPool.dequeue(kind + "/" + identifier, "view of kind " + kind);
}

std::shared_ptr<CollectionReusableView> CollectionView::supplementaryView(const std::string& kind,
                                                                          const IndexPath& indexPath) {
    checkMainThread();
    auto source = dataSource();
    return source ? source->supplementaryView(*this, kind, indexPath) : nullptr;
}

std::shared_ptr<CollectionReusableView> CollectionView::visibleSupplementaryView(const std::string& kind,
                                                                                 int section) const {
    return std::dynamic_pointer_cast<CollectionReusableView>(supplementaryViewShown(kind, section));
}

std::shared_ptr<View> CollectionView::dataSupplementary(const std::string& kind, const IndexPath& indexPath) {
    return supplementaryView(kind, indexPath);
}

void CollectionView::supplementaryDidEndDisplaying(const std::shared_ptr<View>& view, const std::string&,
                                                   const IndexPath&) {
    auto reusable = std::dynamic_pointer_cast<CollectionReusableView>(view);
    if (reusable && !reusable->reuseIdentifier().empty()) {
        m_supplementaryPool.enqueue(reusable);
    } else {
        view->removeFromSuperview();
    }
}

void CollectionView::reloadData() {
    checkMainThread();
    notifyWillReload();
    performReloadData();
}

void CollectionView::scrollToItem(const IndexPath& indexPath) {
    checkMainThread();
    m_lastScrolledTo = indexPath;
    const auto frame = frameForItem(indexPath);
    if (!frame) return;
    // The least movement that brings the whole item into view, kept within the content.
    const EdgeInsets inset = adjustedContentInset();
    const Rect shown = bounds().inset({inset.top, 0, inset.bottom, 0});
    double y = contentOffset().y;
    if (frame->minY() < shown.minY()) {
        y = frame->minY() - inset.top;
    } else if (frame->maxY() > shown.maxY()) {
        y = frame->maxY() - bounds().height() + inset.bottom;
    }
    const double lowest = std::max(-inset.top, contentSize().height + inset.bottom - bounds().height());
    y = std::clamp(y, -inset.top, lowest);
    setContentOffset({contentOffset().x, y});
}

void CollectionView::reloadItems(const std::vector<IndexPath>& items) {
    checkMainThread();
    performUpdates([](const IndexPath& p) { return std::optional<IndexPath>(p); }, {items.begin(), items.end()});
}

int CollectionView::dataSectionCount() {
    auto source = dataSource();
    return source ? source->numberOfSections(*this) : 0;
}

int CollectionView::dataItemCount(int section) {
    auto source = dataSource();
    return source ? source->numberOfItems(*this, section) : 0;
}

std::shared_ptr<CollectionViewCell> CollectionView::dataCell(const IndexPath& indexPath) {
    auto source = dataSource();
    if (!source) base::fatal("asked for a cell without a data source");
    auto cell = source->cellForItem(*this, indexPath);
    // A grouped list's row shows its card unless its cell chose a background.
    if (cell && !cell->backgroundColorConfiguration()) {
        const auto section = layoutSection(indexPath.section);
        if (section && section->rowBackgroundColor && !(section->firstItemIsHeader && indexPath.item == 0))
            cell->setBackgroundColorConfiguration(section->rowBackgroundColor);
    }
    return cell;
}

bool CollectionView::shouldSelect(const IndexPath& p) {
    auto d = delegate();
    return !d || d->shouldSelectItem(*this, p);
}
void CollectionView::didSelect(const IndexPath& p) {
    if (auto d = delegate()) d->didSelectItem(*this, p);
}
bool CollectionView::shouldDeselect(const IndexPath& p) {
    auto d = delegate();
    return !d || d->shouldDeselectItem(*this, p);
}
void CollectionView::didDeselect(const IndexPath& p) {
    if (auto d = delegate()) d->didDeselectItem(*this, p);
}
void CollectionView::willDisplay(CollectionViewCell& cell, const IndexPath& p) {
    if (auto d = delegate()) d->willDisplayCell(*this, cell, p);
}
void CollectionView::didEndDisplaying(CollectionViewCell& cell, const IndexPath& p) {
    if (auto d = delegate()) d->didEndDisplayingCell(*this, cell, p);
}

std::shared_ptr<ContextMenuConfiguration> CollectionView::contextMenu(const IndexPath& indexPath, Point point) {
    checkMainThread();
    auto d = delegate();
    if (!d || !cellAt(indexPath)) return nullptr;
    auto configuration = d->contextMenuConfiguration(*this, {indexPath}, point);
    if (configuration) m_highlightPreview = d->previewForHighlightingContextMenu(*this, *configuration);
    return configuration;
}

void CollectionView::endContextMenu(const ContextMenuConfiguration& configuration) {
    checkMainThread();
    auto d = delegate();
    m_dismissPreview = d ? d->previewForDismissingContextMenu(*this, configuration) : nullptr;
}

std::shared_ptr<DragSession> CollectionView::drag(const IndexPath& indexPath) {
    checkMainThread();
    auto d = dragDelegate();
    if (!d || !cellAt(indexPath)) return nullptr;
    auto session = DragSession::create({}, indexPath);
    auto items = d->itemsForBeginning(*this, *session, indexPath);
    if (items.empty()) return nullptr;
    auto started = DragSession::create(std::move(items), indexPath);
    started->previewParameters = d->dragPreviewParameters(*this, indexPath);
    started->allowsMoveOperation = d->dragSessionAllowsMoveOperation(*this, *started);
    return started;
}

DropProposal CollectionView::dragOver(const std::shared_ptr<DragSession>& session,
                                      const std::optional<IndexPath>& destination) {
    checkMainThread();
    auto d = dropDelegate();
    if (!d || !session || !d->canHandle(*this, *session)) return {};
    return d->dropSessionDidUpdate(*this, *session, destination);
}

bool CollectionView::drop(const std::shared_ptr<DragSession>& session, const std::optional<IndexPath>& destination) {
    checkMainThread();
    auto d = dropDelegate();
    const DropProposal proposal = dragOver(session, destination);
    if (!d || proposal.operation == DropProposal::Operation::cancel ||
        proposal.operation == DropProposal::Operation::forbidden)
        return false;
    d->performDrop(*this, {session, destination, proposal});
    return true;
}

}  // namespace ui
