#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace ui {
class AlertController;
class TextInput;
class Window;
}  // namespace ui

namespace display {

class Clipboard;

// A keyboard acting on a window. Keys and typed text go to the first of:
// - a shown alert, which takes them all: Return takes its Return action (the preferred one, else
//   the first enabled one of the default style, never one that destroys), Escape its cancel
//   action, and typed text and the editing keys go to its field being edited (its first field
//   when none is);
// - the text or search field being edited (the first responder) on the screen on show
//   (ui::editingInput): typed text and the editing keys (FieldKeys) edit it, Return is its return
//   key (a search field searches) and Escape ends editing (a search field cancels). A field that
//   a presented or pushed screen covers takes nothing;
// - Escape leaves the menu, picker, sheet or popover on top;
// - any other key becomes a press (its HID usage code, which is what SDL's scancodes number, with
//   Shift, Control, Option and Command) sent to the first responder on the screen on show, else
//   to the controller on show (ui::keyResponder). Keys that do the same on every layout (arrows,
//   the space bar) are known by their place; the editing shortcuts by their letter.
// A key pressed with Control or Command is a shortcut and types nothing: the text the window
// system still makes of it (a Cyrillic or Greek letter, where the layout has no control
// character for the key) is dropped until that key is released or another is pressed.
// Main thread only.
class KeyInput {
public:
    KeyInput(std::shared_ptr<ui::Window> window, std::shared_ptr<Clipboard> clipboard)
        : m_window(std::move(window)), m_clipboard(std::move(clipboard)) {}

    // `usage`: the key's HID usage code (where it lies); `modifiers` as ui::Key::ModifierFlags;
    // `characters` what the key types (may be empty); `symbol` the character the key gives on the
    // keyboard's layout without modifiers (SDL's keysym for a key that types; 0: unknown).
    void keyDown(int usage, std::uint32_t modifiers, const std::string& characters, char32_t symbol = 0);
    void keyUp(int usage);
    void text(const std::string& utf8);

private:
    std::shared_ptr<ui::AlertController> shownAlert() const;
    // The field typed text goes to, if any.
    std::shared_ptr<ui::TextInput> editingInput() const;
    void alertKey(ui::AlertController& alert, int usage, char32_t symbol, std::uint32_t modifiers);
    void fieldKey(ui::TextInput& field, int usage, char32_t symbol, std::uint32_t modifiers);

    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<Clipboard> m_clipboard;
    int m_shortcutKey = 0;  // the key held down as a shortcut (its usage), 0: none
};

}  // namespace display
