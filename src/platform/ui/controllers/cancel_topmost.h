#pragma once

namespace ui {

class Window;

// What a person leaves with Escape (the host's `cancel` too): the open menu closes; else a file or
// font picker shown in the topmost presented screen cancels (its delegate hears of it); else the
// topmost sheet or popover goes, as a swipe down or a touch outside would take it away. False when
// nothing that can be left so shows. Main thread only.
bool cancelTopmost(Window& window);

}  // namespace ui
