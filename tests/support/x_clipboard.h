#pragma once

// Another program on the X display that copies a text: it owns the desktop's clipboard (the
// CLIPBOARD selection) and hands the text to whoever asks, from a connection and a thread of its
// own, as long as it lives.

#include <memory>
#include <string>

namespace testing_support {

class XClipboardOwner {
public:
    // None without an X display.
    static std::unique_ptr<XClipboardOwner> copy(const std::string& text);
    ~XClipboardOwner();
    XClipboardOwner(const XClipboardOwner&) = delete;
    XClipboardOwner& operator=(const XClipboardOwner&) = delete;

    // How many times a program asked for the text.
    int requests() const;

private:
    struct Served;
    explicit XClipboardOwner(std::unique_ptr<Served> served);
    std::unique_ptr<Served> m_served;
};

}  // namespace testing_support
