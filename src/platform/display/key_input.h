#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ui {
class AlertController;
class Responder;
class TextInput;
class Window;
}  // namespace ui

namespace display {

class Clipboard;

// A keyboard acting on a window. Keys and typed text go to the first of:
// - a shown alert, which takes them all: Return takes its Return action (the preferred one, else
//   the first that does not cancel), Escape its cancel action, and typed text and the editing
//   keys go to its field being edited (its first field when none is);
// - the text or search field being edited (the first responder): typed text and the editing keys
//   (FieldKeys) edit it, Return is its return key (a search field searches) and Escape ends
//   editing (a search field cancels);
// - Escape leaves the menu, picker, sheet or popover on top;
// - any other key becomes a press (its HID usage code, which is what SDL's scancodes number, with
//   Shift, Control, Option and Command) sent to the first responder, else to the controller on
//   show (the top-most presented one, the top of a navigation stack).
// Main thread only.
class KeyInput {
public:
    KeyInput(std::shared_ptr<ui::Window> window, std::shared_ptr<Clipboard> clipboard)
        : m_window(std::move(window)), m_clipboard(std::move(clipboard)) {}

    // `modifiers` as ui::Key::ModifierFlags; `characters` what the key types (may be empty).
    void keyDown(int usage, std::uint32_t modifiers, const std::string& characters);
    void text(const std::string& utf8);

private:
    std::shared_ptr<ui::AlertController> shownAlert() const;
    // The field typed text goes to, if any.
    std::shared_ptr<ui::TextInput> editingInput() const;
    void alertKey(ui::AlertController& alert, int usage, std::uint32_t modifiers);
    void fieldKey(ui::TextInput& field, int usage, std::uint32_t modifiers);
    std::shared_ptr<ui::Responder> fallbackResponder() const;

    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<Clipboard> m_clipboard;
};

}  // namespace display
