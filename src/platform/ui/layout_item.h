#pragma once

#include <memory>
#include <string>

namespace ui {

class View;

// Something a constraint can relate: a view or a layout guide.
class LayoutItem {
public:
    virtual ~LayoutItem() = default;
    // The view the item belongs to: the view itself, or the view that owns the guide.
    virtual std::shared_ptr<View> owningViewForLayout() const = 0;
    virtual std::string layoutItemName() const = 0;
};

}  // namespace ui
