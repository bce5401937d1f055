#pragma once

#include <memory>

namespace ui {

// Counts the screen transitions that have begun and not yet ended (presentations, dismissals,
// navigation pushes and pops, a document picker's copies on their way to its delegate), so a
// host or a test can wait until the screen has settled.
// Main thread only.
class TransitionsInFlight {
public:
    // One transition: counted from `begin` until `end` or until the last copy goes (a transition
    // whose finishing timer is dropped with its run loop still ends).
    class Token {
    public:
        ~Token() { end(); }
        Token(const Token&) = delete;
        Token& operator=(const Token&) = delete;
        void end();

    private:
        friend class TransitionsInFlight;
        Token() = default;
        bool m_ended = false;
    };

    static std::shared_ptr<Token> begin();
    static int count();
};

}  // namespace ui
