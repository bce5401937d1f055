#pragma once

#include <memory>
#include <optional>
#include <string>

namespace display {

// The desktop's clipboard for text: what a field's Ctrl+C and Ctrl+X put there and Ctrl+V takes.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    // None when it holds no text.
    virtual std::optional<std::string> text() const = 0;
    virtual void setText(const std::string& text) = 0;
};

// The window system's clipboard, shared with the other programs on the desktop (through SDL,
// whose video part must be running). Every read asks the program that copied (an X11 round trip
// that waits up to a second on one that does not answer). Main thread only.
class SystemClipboard final : public Clipboard {
public:
    std::optional<std::string> text() const override;
    void setText(const std::string& text) override;
};

class WatchedClipboard;

// The desktop's clipboard as the app's general pasteboard (ui::Pasteboard) for as long as this
// lives, so a paste control offers what another program copied and a copy reaches them: the
// clipboard holds one text, so strings set together go there as its lines. The pasteboard keeps
// its own strings meanwhile and has them back afterwards.
// Whether the clipboard holds text is read once when this starts, when it changes and when it is
// read to paste, never when a paste control is painted or hit: a read waits on another program.
// Main thread only, as the clipboard is.
class DesktopPasteboard {
public:
    explicit DesktopPasteboard(std::shared_ptr<Clipboard> clipboard);
    ~DesktopPasteboard();
    DesktopPasteboard(const DesktopPasteboard&) = delete;
    DesktopPasteboard& operator=(const DesktopPasteboard&) = delete;

    // The clipboard for the fields' shortcuts: the desktop's, through this, so a field's copy
    // shows on the paste controls at once.
    std::shared_ptr<Clipboard> clipboard() const;
    // The clipboard may hold something else now: another program copied, or the window has the
    // keyboard back from one that may have.
    void clipboardDidChange();

private:
    std::shared_ptr<WatchedClipboard> m_watched;
};

}  // namespace display
