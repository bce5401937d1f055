#include "platform/ui/lists/item_drag.h"

#include "platform/ui/lists/collection_view.h"
#include "platform/ui/lists/collection_view_cell.h"
#include "platform/ui/lists/drag_session.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/window.h"

namespace ui {

namespace {
// How a lifted item shows in its place while it is carried.
constexpr double liftedAlpha = 0.5;
}  // namespace

std::unique_ptr<ItemDrag> ItemDrag::lift(Window& window, Point point) {
    checkMainThread();
    auto source = GridItem::of(window.hitTest(point));
    if (!source) return nullptr;
    auto session = source->grid->drag(source->indexPath);
    if (!session) return nullptr;
    return std::unique_ptr<ItemDrag>(new ItemDrag(window.sharedAs<Window>(), std::move(*source), std::move(session)));
}

ItemDrag::ItemDrag(std::shared_ptr<Window> window, GridItem source, std::shared_ptr<DragSession> session)
    : m_window(std::move(window)),
      m_source(std::move(source)),
      m_session(std::move(session)),
      m_sourceAlpha(m_source.cell->alpha()) {
    m_source.cell->setAlpha(m_sourceAlpha * liftedAlpha);
}

ItemDrag::~ItemDrag() {
    highlight(nullptr);
    m_source.cell->setAlpha(m_sourceAlpha);
}

std::optional<ItemDrag::Destination> ItemDrag::destinationAt(Point point) const {
    const auto hit = m_window->hitTest(point);
    if (auto item = GridItem::of(hit)) {
        // Over itself it goes nowhere.
        if (item->grid == m_source.grid && item->indexPath == m_source.indexPath) return std::nullopt;
        return Destination{item->grid, item->indexPath};
    }
    for (auto view = hit; view; view = view->superview()) {
        if (auto grid = std::dynamic_pointer_cast<CollectionView>(view)) return Destination{grid, std::nullopt};
    }
    return std::nullopt;
}

void ItemDrag::move(Point point) {
    checkMainThread();
    const auto destination = destinationAt(point);
    std::shared_ptr<CollectionViewCell> taker;
    if (destination && destination->indexPath) {
        const auto proposal = destination->grid->dragOver(m_session, destination->indexPath);
        if (proposal.operation == DropProposal::Operation::move &&
            proposal.intent == DropProposal::Intent::insertIntoDestinationIndexPath)
            taker = destination->grid->cellAt(*destination->indexPath);
    }
    highlight(taker);
}

bool ItemDrag::drop(Point point) {
    checkMainThread();
    highlight(nullptr);
    const auto destination = destinationAt(point);
    return destination && destination->grid->drop(m_session, destination->indexPath);
}

void ItemDrag::highlight(const std::shared_ptr<CollectionViewCell>& cell) {
    if (cell == m_highlighted) return;
    if (m_highlighted) m_highlighted->setHighlighted(false);
    m_highlighted = cell;
    if (m_highlighted) m_highlighted->setHighlighted(true);
}

}  // namespace ui
