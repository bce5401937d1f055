#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ui {
class Responder;
class Window;
}  // namespace ui

namespace display {

// A keyboard acting on a window. A key becomes a press (its HID usage code, which is what SDL's
// scancodes number, with Shift, Control, Option and Command) sent to the first responder, else to
// the controller on show (the top-most presented one, the top of a navigation stack). While a text field edits, typed
// text goes into it, Backspace deletes the last character, Return returns and Escape ends editing. Main thread only.
class KeyInput {
public:
    explicit KeyInput(std::shared_ptr<ui::Window> window) : m_window(std::move(window)) {}

    // `modifiers` as ui::Key::ModifierFlags; `characters` what the key types (may be empty).
    void keyDown(int usage, std::uint32_t modifiers, const std::string& characters);
    void text(const std::string& utf8);

private:
    std::shared_ptr<ui::Responder> fallbackResponder() const;

    std::shared_ptr<ui::Window> m_window;
};

}  // namespace display
