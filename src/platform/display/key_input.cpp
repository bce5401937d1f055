#include "platform/display/key_input.h"

#include "platform/ui/controllers/cancel_topmost.h"
#include "platform/ui/controllers/navigation_controller.h"
#include "platform/ui/controllers/view_controller.h"
#include "platform/ui/controls/search_bar.h"
#include "platform/ui/gestures/press.h"
#include "platform/ui/text/text_field.h"
#include "platform/ui/views/window.h"

namespace display {

namespace {
constexpr int kBackspace = 42;

std::shared_ptr<ui::TextField> editingField() {
    return std::dynamic_pointer_cast<ui::TextField>(ui::Responder::firstResponder());
}

// The text without its last UTF-8 character.
std::string dropLastCharacter(std::string text) {
    while (!text.empty()) {
        const auto byte = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((byte & 0xC0) != 0x80) break;
    }
    return text;
}
}  // namespace

std::shared_ptr<ui::Responder> KeyInput::fallbackResponder() const {
    // The controller the user sees: the top-most presented one, inside a navigation controller
    // the one on top of its stack.
    auto controller = m_window->rootViewController();
    for (bool deeper = true; controller && deeper;) {
        deeper = false;
        if (auto presented = controller->presentedViewController()) {
            controller = presented;
            deeper = true;
        } else if (auto navigation = std::dynamic_pointer_cast<ui::NavigationController>(controller);
                   navigation && navigation->topViewController()) {
            controller = navigation->topViewController();
            deeper = true;
        }
    }
    if (controller) return controller;
    return m_window;
}

void KeyInput::keyDown(int usage, std::uint32_t modifiers, const std::string& characters) {
    if (auto bar = std::dynamic_pointer_cast<ui::SearchBar>(ui::Responder::firstResponder())) {
        if (usage == kBackspace) {
            bar->type(dropLastCharacter(bar->text().value_or("")));
        } else if (usage == ui::Key::returnOrEnter) {
            bar->tapSearch();
        } else if (usage == ui::Key::escape) {
            bar->tapCancel();
        }
        return;
    }
    if (auto field = editingField()) {
        if (usage == kBackspace) {
            field->type(dropLastCharacter(field->text().value_or("")));
        } else if (usage == ui::Key::returnOrEnter) {
            field->pressReturn();
        } else if (usage == ui::Key::escape) {
            field->endEditing();
        }
        return;
    }
    // Escape leaves the menu, picker, sheet or popover on top.
    if (usage == ui::Key::escape && ui::cancelTopmost(*m_window)) return;
    ui::Press press;  // SDL's scancodes are the keyboard's HID usage codes
    press.key.keyCode = usage;
    press.key.characters = characters;
    press.key.charactersIgnoringModifiers = characters;
    press.key.modifierFlags = modifiers;
    ui::Responder::deliverPresses({press}, fallbackResponder());
}

void KeyInput::text(const std::string& utf8) {
    if (auto bar = std::dynamic_pointer_cast<ui::SearchBar>(ui::Responder::firstResponder())) {
        bar->type(bar->text().value_or("") + utf8);
    } else if (auto field = editingField()) {
        field->type(field->text().value_or("") + utf8);
    }
}

}  // namespace display
