#pragma once

#include <memory>

namespace ui {

class Responder;
class TextInput;
class ViewController;
class Window;

// Where a keyboard's keys go in a window. The screen on show is the top-most presented controller
// (inside a navigation controller, the one on top of its stack). A field being edited takes the
// keys only while it lies on that screen: one that a presented or a pushed screen covers gives
// them up to that screen (a search field under the player must not take its arrows and spaces),
// and has them again once its own screen is back on top. Main thread only.

// The top-most presented controller, inside a navigation controller the one on top of its stack;
// none when the window has no root controller.
std::shared_ptr<ViewController> shownViewController(const Window& window);
// The text or search field being edited on the shown screen; none when none is, or when the one
// being edited lies under another screen.
std::shared_ptr<TextInput> editingInput(const Window& window);
// What a key's press goes to: the first responder (a field only while it lies on the shown
// screen), else the shown screen, else the window.
std::shared_ptr<Responder> keyResponder(const std::shared_ptr<Window>& window);

}  // namespace ui
