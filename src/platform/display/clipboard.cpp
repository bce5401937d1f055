#include "platform/display/clipboard.h"

#include <SDL.h>

#include "platform/base/log.h"
#include "platform/ui/views/main_thread_check.h"

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

namespace {

class ClipboardStore final : public ui::PasteboardStore {
public:
    explicit ClipboardStore(std::shared_ptr<Clipboard> clipboard) : m_clipboard(std::move(clipboard)) {}

    std::vector<std::string> strings() const override {
        ui::checkMainThread();
        auto text = m_clipboard->text();
        if (!text || text->empty()) return {};
        return {*text};
    }
    void setStrings(const std::vector<std::string>& strings) override {
        ui::checkMainThread();
        std::string text;
        for (size_t i = 0; i < strings.size(); ++i) text += (i ? "\n" : "") + strings[i];
        m_clipboard->setText(text);
    }

private:
    std::shared_ptr<Clipboard> m_clipboard;
};

}  // namespace

DesktopPasteboard::DesktopPasteboard(std::shared_ptr<Clipboard> clipboard) {
    ui::Pasteboard::general().setStore(std::make_shared<ClipboardStore>(std::move(clipboard)));
}

DesktopPasteboard::~DesktopPasteboard() { ui::Pasteboard::general().setStore(nullptr); }

}  // namespace display
