#include "platform/display/field_keys.h"

#include "platform/display/clipboard.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/text/text_input.h"

namespace display {

namespace {

// HID usage codes of the editing keys.
enum Usage : int {
    keyA = 4,
    keyC = 6,
    keyV = 25,
    keyX = 27,
    backspace = 42,
    home = 74,
    deleteForward = 76,
    end = 77,
    right = ui::Key::rightArrow,
    left = ui::Key::leftArrow,
};

enum class Chord { plain, shortcut };  // shortcut: with Control (or Command)

struct Context {
    ui::TextEditing& editing;
    Clipboard& clipboard;
    ui::TextEditing::Extend extend;  // Shift held
    bool rightToLeft;
};

// Fields take one line: a pasted text's line breaks become spaces.
std::string oneLine(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

struct Binding {
    int usage;
    Chord chord;
    void (*edit)(Context&);
};

constexpr Binding kBindings[] = {
    {backspace, Chord::plain, [](Context& c) { c.editing.deleteBackward(); }},
    {deleteForward, Chord::plain, [](Context& c) { c.editing.deleteForward(); }},
    {left, Chord::plain,
     [](Context& c) { c.rightToLeft ? c.editing.moveForward(c.extend) : c.editing.moveBackward(c.extend); }},
    {right, Chord::plain,
     [](Context& c) { c.rightToLeft ? c.editing.moveBackward(c.extend) : c.editing.moveForward(c.extend); }},
    {home, Chord::plain, [](Context& c) { c.editing.moveToStart(c.extend); }},
    {end, Chord::plain, [](Context& c) { c.editing.moveToEnd(c.extend); }},
    {keyA, Chord::shortcut, [](Context& c) { c.editing.selectAll(); }},
    {keyC, Chord::shortcut,
     [](Context& c) {
         if (c.editing.selection().length > 0) c.clipboard.setText(c.editing.selectedText());
     }},
    {keyX, Chord::shortcut,
     [](Context& c) {
         if (c.editing.selection().length == 0) return;
         c.clipboard.setText(c.editing.selectedText());
         c.editing.deleteBackward();
     }},
    {keyV, Chord::shortcut,
     [](Context& c) {
         if (auto text = c.clipboard.text()) c.editing.insert(oneLine(*text));
     }},
};

// Hands what the edit made back to the field: a changed text as the user's change, else the
// selection alone.
void apply(ui::TextInput& field, const std::string& before, const ui::TextEditing& editing) {
    if (editing.text() != before) {
        field.replaceInput(editing.text(), editing.selection());
    } else if (editing.selection() != field.selectedTextRange()) {
        field.setSelectedTextRange(editing.selection());
    }
}

}  // namespace

bool FieldKeys::press(ui::TextInput& field, int usage, std::uint32_t modifiers, Clipboard& clipboard) {
    const Chord chord = modifiers & (ui::Key::control | ui::Key::command) ? Chord::shortcut : Chord::plain;
    for (const auto& binding : kBindings) {
        if (binding.usage != usage || binding.chord != chord) continue;
        const std::string before = field.inputText();
        ui::TextEditing editing(before, field.selectedTextRange());
        Context context{editing, clipboard,
                        modifiers & ui::Key::shift ? ui::TextEditing::Extend::yes : ui::TextEditing::Extend::no,
                        field.isInputRightToLeft()};
        binding.edit(context);
        apply(field, before, editing);
        return true;
    }
    return false;
}

void FieldKeys::type(ui::TextInput& field, const std::string& utf8) {
    const std::string before = field.inputText();
    ui::TextEditing editing(before, field.selectedTextRange());
    editing.insert(oneLine(utf8));
    apply(field, before, editing);
}

}  // namespace display
