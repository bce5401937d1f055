#pragma once

#include <memory>

#include "core/library_item.h"

namespace reelhaven {

class VideoManager;

// The payload of a drag started in a library screen: where it came from and what is dragged.
// The manager is held weakly, so a drag outliving its screen does not keep the manager alive.
struct DragOrigin {
    std::weak_ptr<VideoManager> originVideoManager;
    LibraryItemPtr originItem;
};

}  // namespace reelhaven
