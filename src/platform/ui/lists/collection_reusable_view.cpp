#include "platform/ui/lists/collection_reusable_view.h"

namespace ui {

std::shared_ptr<CollectionReusableView> CollectionReusableView::create(const Rect& frame) {
    return make<CollectionReusableView>(frame);
}

}  // namespace ui
