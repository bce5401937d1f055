#pragma once

#include <memory>
#include <vector>

#include "platform/ui/gestures/press.h"
#include "platform/ui/gestures/touch.h"
#include "platform/ui/views/object.h"

namespace ui {

// An object in the responder chain: touches and key presses it does not handle go to `next()`.
// Tests deliver presses to the first responder with `Responder::deliverPresses`.
class Responder : public Object {
public:
    std::string className() const override { return "Responder"; }

    virtual std::shared_ptr<Responder> next() const { return nullptr; }

    virtual bool canBecomeFirstResponder() const { return false; }
    bool becomeFirstResponder();
    virtual bool resignFirstResponder();
    bool isFirstResponder() const;
    static std::shared_ptr<Responder> firstResponder();

    virtual void touchesBegan(const std::vector<Touch>& touches);
    virtual void touchesMoved(const std::vector<Touch>& touches);
    virtual void touchesEnded(const std::vector<Touch>& touches);
    virtual void touchesCancelled(const std::vector<Touch>& touches);
    virtual void pressesBegan(const std::vector<Press>& presses);
    virtual void pressesEnded(const std::vector<Press>& presses);

    // Sends presses (began, then ended) to the first responder, or to `fallback` when none.
    static void deliverPresses(const std::vector<Press>& presses, const std::shared_ptr<Responder>& fallback = nullptr);
    // Sends presses (began, then ended) to `target` (nothing when none), whoever is first.
    static void deliverPressesTo(const std::vector<Press>& presses, const std::shared_ptr<Responder>& target);

protected:
    Responder() = default;
};

}  // namespace ui
