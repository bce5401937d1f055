#include "platform/display/clipboard.h"

#include <SDL.h>

#include "platform/base/log.h"

namespace display {

std::optional<std::string> SystemClipboard::text() const {
    if (!SDL_HasClipboardText()) return std::nullopt;
    char* held = SDL_GetClipboardText();
    if (!held) return std::nullopt;
    std::string text = held;
    SDL_free(held);
    return text;
}

void SystemClipboard::setText(const std::string& text) {
    if (SDL_SetClipboardText(text.c_str()) != 0)
        base::log(base::LogLevel::warning, "display", std::string("the clipboard took no text: ") + SDL_GetError());
}

}  // namespace display
