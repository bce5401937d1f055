#pragma once

#include <string>

namespace ui {

enum class ModalPresentationStyle {
    automatic = -2,
    none = -1,
    fullScreen = 0,
    pageSheet = 1,
    formSheet = 2,
    currentContext = 3,
    custom = 4,
    overFullScreen = 5,
    overCurrentContext = 6,
    popover = 7,
};

enum class ModalTransitionStyle { coverVertical = 0, flipHorizontal = 1, crossDissolve = 2, partialCurl = 3 };

}  // namespace ui
