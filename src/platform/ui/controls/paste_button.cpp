#include "platform/ui/controls/paste_button.h"

#include "platform/ui/scenes/pasteboard.h"

namespace ui {

std::shared_ptr<PasteButton> PasteButton::create(DisplayMode mode, CornerStyle corners) {
    auto button = make<PasteButton>(mode, corners);
    std::weak_ptr<PasteButton> weak = button;
    button->addAction(Action::create("",
                                     [weak](Action&) {
                                         auto self = weak.lock();
                                         if (!self || !self->onPaste) return;
                                         auto strings = Pasteboard::general().strings();
                                         if (!strings.empty()) self->onPaste(strings);
                                     }),
                      touchUpInside);
    return button;
}

PasteButton::PasteButton(DisplayMode mode, CornerStyle corners)
    : Button(ButtonType::system), m_mode(mode), m_corners(corners) {
    if (mode != DisplayMode::labelOnly) setImage(Image::systemImage("doc.on.clipboard"), normal);
    if (mode != DisplayMode::iconOnly) setTitle("Paste", normal);
}

bool PasteButton::isEnabled() const { return Button::isEnabled() && Pasteboard::general().hasStrings(); }

}  // namespace ui
