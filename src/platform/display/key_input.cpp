#include "platform/display/key_input.h"

#include "platform/display/field_keys.h"
#include "platform/ui/controllers/alert_controller.h"
#include "platform/ui/controllers/cancel_topmost.h"
#include "platform/ui/controllers/key_focus.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/window.h"

namespace display {

namespace {

bool isReturn(int usage) { return usage == ui::Key::returnOrEnter || usage == ui::Key::keypadEnter; }
}  // namespace

std::shared_ptr<ui::AlertController> KeyInput::shownAlert() const {
    auto alert = std::dynamic_pointer_cast<ui::AlertController>(m_window->topPresentedViewController());
    return alert && !alert->isBeingDismissed() ? alert : nullptr;
}

std::shared_ptr<ui::TextInput> KeyInput::editingInput() const {
    if (auto alert = shownAlert()) {
        const auto& fields = alert->textFields();
        for (const auto& field : fields) {
            if (field->isFirstResponder()) return field;
        }
        return fields.empty() ? nullptr : fields.front();
    }
    return ui::editingInput(*m_window);
}

void KeyInput::alertKey(ui::AlertController& alert, int usage, char32_t symbol, std::uint32_t modifiers) {
    if (isReturn(usage)) {
        if (auto action = alert.returnKeyAction()) alert.tapAction(action->title());
    } else if (usage == ui::Key::escape) {
        if (auto action = alert.cancelAction()) alert.tapAction(action->title());
    } else if (auto field = editingInput()) {
        FieldKeys::press(*field, usage, symbol, modifiers, *m_clipboard);
    }
}

void KeyInput::fieldKey(ui::TextInput& field, int usage, char32_t symbol, std::uint32_t modifiers) {
    if (FieldKeys::press(field, usage, symbol, modifiers, *m_clipboard)) return;
    if (auto bar = dynamic_cast<ui::SearchBar*>(&field)) {
        if (isReturn(usage)) bar->tapSearch();
        if (usage == ui::Key::escape) bar->tapCancel();
    } else if (auto textField = dynamic_cast<ui::TextField*>(&field)) {
        if (isReturn(usage)) textField->pressReturn();
        if (usage == ui::Key::escape) textField->endEditing();
    }
}

void KeyInput::keyDown(int usage, std::uint32_t modifiers, const std::string& characters, char32_t symbol) {
    m_shortcutKey = modifiers & (ui::Key::control | ui::Key::command) ? usage : 0;
    // An alert is modal: what lies under it hears no key.
    if (auto alert = shownAlert()) return alertKey(*alert, usage, symbol, modifiers);
    if (auto field = editingInput()) return fieldKey(*field, usage, symbol, modifiers);
    // Escape leaves the menu, picker, sheet or popover on top.
    if (usage == ui::Key::escape && ui::cancelTopmost(*m_window)) return;
    ui::Press press;  // SDL's scancodes are the keyboard's HID usage codes
    press.key.keyCode = usage;
    press.key.characters = characters;
    press.key.charactersIgnoringModifiers = characters;
    press.key.modifierFlags = modifiers;
    ui::Responder::deliverPressesTo({press}, ui::keyResponder(m_window));
}

void KeyInput::keyUp(int usage) {
    if (usage == m_shortcutKey) m_shortcutKey = 0;
}

void KeyInput::text(const std::string& utf8) {
    // The window system sends a key's text right after the key: this is the shortcut's.
    if (m_shortcutKey) return;
    if (auto field = editingInput()) FieldKeys::type(*field, utf8);
}

}  // namespace display
