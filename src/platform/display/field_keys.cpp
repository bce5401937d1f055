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

struct Binding {
    int usage;
    Chord chord;
    void (*edit)(Context&);
};

constexpr Binding kBindings[] = {
    {ui::Key::deleteOrBackspace, Chord::plain, [](Context& c) { c.editing.deleteBackward(); }},
    {ui::Key::deleteForward, Chord::plain, [](Context& c) { c.editing.deleteForward(); }},
    {ui::Key::leftArrow, Chord::plain, [](Context& c) { c.editing.moveLeft(c.extend); }},
    {ui::Key::rightArrow, Chord::plain, [](Context& c) { c.editing.moveRight(c.extend); }},
    {ui::Key::home, Chord::plain, [](Context& c) { c.editing.moveToStart(c.extend); }},
    {ui::Key::end, Chord::plain, [](Context& c) { c.editing.moveToEnd(c.extend); }},
    {ui::Key::keyA, Chord::shortcut, [](Context& c) { c.editing.selectAll(); }},
    {ui::Key::keyC, Chord::shortcut,
     [](Context& c) {
         if (c.editing.selection().length > 0) c.clipboard.setText(c.editing.selectedText());
     }},
    {ui::Key::keyX, Chord::shortcut,
     [](Context& c) {
         if (c.editing.selection().length == 0) return;
         c.clipboard.setText(c.editing.selectedText());
         c.editing.deleteBackward();
     }},
    {ui::Key::keyV, Chord::shortcut,
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
