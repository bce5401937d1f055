#include "platform/display/clipboard.h"

#include <SDL.h>

#include <atomic>
#include <vector>

#include "platform/base/log.h"
#include "platform/ui/scenes/pasteboard.h"
#include "platform/ui/views/main_thread_check.h"

namespace display {

std::optional<std::string> SystemClipboard::text() const {
    // Only the text itself: asking whether there is any is a read of its own.
    char* held = SDL_GetClipboardText();
    if (!held) return std::nullopt;
    std::string text = held;
    SDL_free(held);
    if (text.empty()) return std::nullopt;
    return text;
}

void SystemClipboard::setText(const std::string& text) {
    if (SDL_SetClipboardText(text.c_str()) != 0)
        base::log(base::LogLevel::warning, "display", std::string("the clipboard took no text: ") + SDL_GetError());
}

// The desktop's clipboard, and whether it held text when last read or written. As the general
// pasteboard's store it answers whether there are strings from that, and reads only to paste.
class WatchedClipboard final : public Clipboard, public ui::PasteboardStore {
public:
    explicit WatchedClipboard(std::shared_ptr<Clipboard> clipboard) : m_clipboard(std::move(clipboard)) { read(); }

    // Clipboard, for the fields' shortcuts.
    std::optional<std::string> text() const override {
        ui::checkMainThread();
        bool changed = false;
        auto text = read(&changed);
        if (changed) ui::Pasteboard::general().storeDidChange();
        return text;
    }
    void setText(const std::string& text) override {
        write(text);
        ui::Pasteboard::general().storeDidChange();
    }

    // ui::PasteboardStore, asked by the pasteboard with its lock held (so it is not told here).
    std::vector<std::string> strings() const override {
        ui::checkMainThread();
        auto text = read();
        if (!text) return {};
        return {*text};
    }
    bool hasStrings() const override { return m_holdsText; }
    void setStrings(const std::vector<std::string>& strings) override {
        std::string text;
        for (size_t i = 0; i < strings.size(); ++i) text += (i ? "\n" : "") + strings[i];
        write(text);
    }

    // `changed`: set when whether it holds text is not what it was.
    std::optional<std::string> read(bool* changed = nullptr) const {
        auto text = m_clipboard->text();
        const bool before = m_holdsText.exchange(text.has_value());
        if (changed) *changed = before != text.has_value();
        return text;
    }

private:
    void write(const std::string& text) {
        ui::checkMainThread();
        m_clipboard->setText(text);
        m_holdsText = !text.empty();
    }

    std::shared_ptr<Clipboard> m_clipboard;
    mutable std::atomic<bool> m_holdsText{false};  // the pasteboard may be asked on any thread
};

DesktopPasteboard::DesktopPasteboard(std::shared_ptr<Clipboard> clipboard)
    : m_watched(std::make_shared<WatchedClipboard>(std::move(clipboard))) {
    ui::Pasteboard::general().setStore(m_watched);
}

DesktopPasteboard::~DesktopPasteboard() { ui::Pasteboard::general().setStore(nullptr); }

std::shared_ptr<Clipboard> DesktopPasteboard::clipboard() const { return m_watched; }

void DesktopPasteboard::clipboardDidChange() {
    ui::checkMainThread();
    m_watched->read();
    ui::Pasteboard::general().storeDidChange();
}

}  // namespace display
