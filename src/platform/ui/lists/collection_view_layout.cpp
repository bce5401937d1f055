#include "platform/ui/lists/collection_view_layout.h"

namespace ui {

void CollectionViewLayout::invalidateLayout() {
    ++m_invalidations;
    if (onInvalidate) onInvalidate();
}

}  // namespace ui
