#pragma once

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
// whose video part must be running). Main thread only.
class SystemClipboard final : public Clipboard {
public:
    std::optional<std::string> text() const override;
    void setText(const std::string& text) override;
};

}  // namespace display
