#include "platform/ui/lists/drag_session.h"

#include <algorithm>

namespace ui {

std::shared_ptr<DragSession> DragSession::create(std::vector<DragItem> items, std::optional<IndexPath> source) {
    auto session = std::shared_ptr<DragSession>(new DragSession());
    session->m_items = std::move(items);
    session->m_source = source;
    return session;
}

bool DragSession::hasItemsConforming(const std::string& typeIdentifier) const {
    return std::any_of(m_items.begin(), m_items.end(), [&](const DragItem& item) {
        return std::find(item.typeIdentifiers.begin(), item.typeIdentifiers.end(), typeIdentifier) !=
               item.typeIdentifiers.end();
    });
}

}  // namespace ui
