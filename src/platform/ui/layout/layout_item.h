#pragma once

#include <memory>
#include <string>

#include "platform/ui/layout/layout_anchor.h"

namespace ui {

class View;

// Something a constraint can relate: a view or a layout guide, with its anchors.
class LayoutItem {
public:
    virtual ~LayoutItem() = default;
    // The view the item belongs to: the view itself, or the view that owns the guide.
    virtual std::shared_ptr<View> owningViewForLayout() const = 0;
    virtual std::string layoutItemName() const = 0;

    LayoutAnchor leadingAnchor() { return anchor(LayoutAttribute::leading); }
    LayoutAnchor trailingAnchor() { return anchor(LayoutAttribute::trailing); }
    LayoutAnchor leftAnchor() { return anchor(LayoutAttribute::left); }
    LayoutAnchor rightAnchor() { return anchor(LayoutAttribute::right); }
    LayoutAnchor topAnchor() { return anchor(LayoutAttribute::top); }
    LayoutAnchor bottomAnchor() { return anchor(LayoutAttribute::bottom); }
    LayoutAnchor widthAnchor() { return anchor(LayoutAttribute::width); }
    LayoutAnchor heightAnchor() { return anchor(LayoutAttribute::height); }
    LayoutAnchor centerXAnchor() { return anchor(LayoutAttribute::centerX); }
    LayoutAnchor centerYAnchor() { return anchor(LayoutAttribute::centerY); }
    LayoutAnchor firstBaselineAnchor() { return anchor(LayoutAttribute::firstBaseline); }
    LayoutAnchor lastBaselineAnchor() { return anchor(LayoutAttribute::lastBaseline); }

protected:
    // This item as a shared pointer, which anchors keep weakly.
    virtual std::shared_ptr<LayoutItem> layoutItemPointer() = 0;

private:
    LayoutAnchor anchor(LayoutAttribute attribute) { return LayoutAnchor(layoutItemPointer(), attribute); }
};

}  // namespace ui
