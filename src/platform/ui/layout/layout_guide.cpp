#include "platform/ui/layout/layout_guide.h"

namespace ui {

std::shared_ptr<LayoutGuide> LayoutGuide::create(std::string identifier) {
    return make<LayoutGuide>(std::move(identifier));
}

}  // namespace ui
