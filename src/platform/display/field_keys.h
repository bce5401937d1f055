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
// The moving and deleting keys are found by where they lie (they lie alike on every layout); the
// shortcuts by the letter the key gives on the user's layout, so Ctrl+A is the key marked A on a
// French keyboard too, and by where the key lies only when the layout gives no Latin letter
// (Cyrillic, Greek), as desktop programs do. Main thread only.
class FieldKeys {
public:
    // `usage`: the key's HID usage code (where it lies); `symbol`: the character the key gives on
    // the keyboard's layout without modifiers (0: unknown); `modifiers` as ui::Key::ModifierFlags.
    // False when the key edits nothing (Return, Escape, letters, whose text comes by `type`).
    static bool press(ui::TextInput& field, int usage, char32_t symbol, std::uint32_t modifiers, Clipboard& clipboard);
    static void type(ui::TextInput& field, const std::string& utf8);
    // The letter ('a' to 'z') a shortcut with this key means, or 0: the layout's Latin letter,
    // else, when the layout gives none, the letter of the key at that place.
    static char shortcutLetter(int usage, char32_t symbol);
};

}  // namespace display
