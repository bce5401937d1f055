#pragma once

#include <cstdint>
#include <string>

namespace ui {
class TextInput;
}

namespace display {

class Clipboard;

// The keys that edit a field being edited, as desktop programs bind them: Backspace and Delete
// take the selection or the character before or after the caret; Left and Right move by a
// character as the text shows (Right goes back in text that reads from the right), Home and End to the ends,
// each selecting with Shift; Ctrl+A selects all; Ctrl+C, Ctrl+X and Ctrl+V copy, cut and paste
// through the clipboard (Command for Control as well). Typed text replaces the selection.
// Main thread only.
class FieldKeys {
public:
    // `usage`: the key's HID usage code; `modifiers` as ui::Key::ModifierFlags. False when the
    // key edits nothing (Return, Escape, letters, whose text comes by `type`).
    static bool press(ui::TextInput& field, int usage, std::uint32_t modifiers, Clipboard& clipboard);
    static void type(ui::TextInput& field, const std::string& utf8);
};

}  // namespace display
