#pragma once

#include <any>
#include <string>
#include <vector>

namespace ui {

// One dragged thing: the app's own object and the types it can be read as.
struct DragItem {
    std::any localObject;
    std::vector<std::string> typeIdentifiers;
};

}  // namespace ui
