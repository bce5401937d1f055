#pragma once

#include <functional>
#include <string>

#include "platform/ui/lists/list_geometry.h"
#include "platform/ui/lists/list_layout_context.h"
#include "platform/ui/views/object.h"

namespace ui {

// How a list places its elements: given the list's size, traits and counts, a layout pass gives
// every item's and boundary view's frame and the content size (`ListGeometry`). The list runs a
// pass when its size, traits or data change, or after `invalidateLayout`; scrolling runs none.
class CollectionViewLayout : public Object {
public:
    std::string className() const override { return "CollectionViewLayout"; }

    virtual ListGeometry prepare(const ListLayoutContext& context) const = 0;

    // The next layout pass computes everything again.
    void invalidateLayout();
    int invalidations() const { return m_invalidations; }
    // Run on each invalidation; the list that shows the layout sets it to schedule its pass.
    std::function<void()> onInvalidate;

private:
    int m_invalidations = 0;
};

}  // namespace ui
