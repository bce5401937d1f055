#include "platform/ui/layout_guide.h"

namespace ui {

std::shared_ptr<LayoutGuide> LayoutGuide::create(std::string identifier) {
    return make<LayoutGuide>(std::move(identifier));
}

LayoutAnchor LayoutGuide::anchor(LayoutAttribute attribute) {
    std::shared_ptr<LayoutItem> self = sharedAs<LayoutGuide>();
    return LayoutAnchor(self, attribute);
}

}  // namespace ui
