#include "platform/display/field_keys.h"

#include "platform/display/clipboard.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/text/text_input.h"

namespace display {

namespace {

enum class Chord { plain, shortcut };  // shortcut: with Control (or Command)

struct Context {
    ui::TextEditing& editing;
    Clipboard& clipboard;
    ui::TextEditing::Extend extend;  // Shift held
    bool rightToLeft;
};

// Fields take one line: a pasted text's line breaks, tabs and other control characters become spaces.
std::string oneLine(const std::string& text) { return ui::TextEditing::singleLine(text); }

// A key that edits where it lies.
struct Binding {
    int usage;
    void (*edit)(Context&);
};

constexpr Binding kBindings[] = {
    {ui::Key::deleteOrBackspace, [](Context& c) { c.editing.deleteBackward(); }},
    {ui::Key::deleteForward, [](Context& c) { c.editing.deleteForward(); }},
    {ui::Key::leftArrow, [](Context& c) { c.editing.moveLeft(c.extend); }},
    {ui::Key::rightArrow, [](Context& c) { c.editing.moveRight(c.extend); }},
    {ui::Key::home, [](Context& c) { c.editing.moveToStart(c.extend); }},
    {ui::Key::end, [](Context& c) { c.editing.moveToEnd(c.extend); }},
};

// A shortcut, by the letter the key gives.
struct Shortcut {
    char letter;
    void (*edit)(Context&);
};

constexpr Shortcut kShortcuts[] = {
    {'a', [](Context& c) { c.editing.selectAll(); }},
    {'c',
     [](Context& c) {
         if (c.editing.selection().length > 0) c.clipboard.setText(c.editing.selectedText());
     }},
    {'x',
     [](Context& c) {
         if (c.editing.selection().length == 0) return;
         c.clipboard.setText(c.editing.selectedText());
         c.editing.deleteBackward();
     }},
    {'v',
     [](Context& c) {
         if (auto text = c.clipboard.text()) c.editing.insert(oneLine(*text));
     }},
};

using Edit = void (*)(Context&);

Edit editFor(int usage, char32_t symbol, Chord chord) {
    if (chord == Chord::plain) {
        for (const auto& binding : kBindings) {
            if (binding.usage == usage) return binding.edit;
        }
        return nullptr;
    }
    const char letter = FieldKeys::shortcutLetter(usage, symbol);
    for (const auto& shortcut : kShortcuts) {
        if (shortcut.letter == letter) return shortcut.edit;
    }
    return nullptr;
}

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

bool FieldKeys::press(ui::TextInput& field, int usage, char32_t symbol, std::uint32_t modifiers, Clipboard& clipboard) {
    const Chord chord = modifiers & (ui::Key::control | ui::Key::command) ? Chord::shortcut : Chord::plain;
    const Edit edit = editFor(usage, symbol, chord);
    if (!edit) return false;
    const std::string before = field.inputText();
    ui::TextEditing editing(before, field.selectedTextRange());
    Context context{editing, clipboard,
                    modifiers & ui::Key::shift ? ui::TextEditing::Extend::yes : ui::TextEditing::Extend::no,
                    field.isInputRightToLeft()};
    edit(context);
    apply(field, before, editing);
    return true;
}

char FieldKeys::shortcutLetter(int usage, char32_t symbol) {
    if (symbol >= 'a' && symbol <= 'z') return static_cast<char>(symbol);
    if (symbol >= 'A' && symbol <= 'Z') return static_cast<char>(symbol - 'A' + 'a');
    // Another character of the Latin range (a digit, a sign) is that, wherever the key lies.
    if (symbol != 0 && symbol < 0x80) return 0;
    if (usage >= ui::Key::keyA && usage < ui::Key::keyA + 26) return static_cast<char>('a' + (usage - ui::Key::keyA));
    return 0;
}

void FieldKeys::type(ui::TextInput& field, const std::string& utf8) {
    const std::string before = field.inputText();
    ui::TextEditing editing(before, field.selectedTextRange());
    editing.insert(oneLine(utf8));
    apply(field, before, editing);
}

}  // namespace display
