#include "platform/ui/views/responder.h"

#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

namespace {

std::weak_ptr<Responder>& currentFirst() {
    static std::weak_ptr<Responder> first;
    return first;
}

}  // namespace

bool Responder::becomeFirstResponder() {
    checkMainThread();
    if (!canBecomeFirstResponder()) return false;
    if (auto current = currentFirst().lock(); current && current.get() != this) current->resignFirstResponder();
    currentFirst() = sharedAs<Responder>();
    return true;
}

bool Responder::resignFirstResponder() {
    checkMainThread();
    if (isFirstResponder()) currentFirst().reset();
    return true;
}

bool Responder::isFirstResponder() const { return currentFirst().lock().get() == this; }

std::shared_ptr<Responder> Responder::firstResponder() {
    checkMainThread();
    return currentFirst().lock();
}

void Responder::touchesBegan(const std::vector<Touch>& touches) {
    checkMainThread();
    if (auto n = next()) n->touchesBegan(touches);
}
void Responder::touchesMoved(const std::vector<Touch>& touches) {
    checkMainThread();
    if (auto n = next()) n->touchesMoved(touches);
}
void Responder::touchesEnded(const std::vector<Touch>& touches) {
    checkMainThread();
    if (auto n = next()) n->touchesEnded(touches);
}
void Responder::touchesCancelled(const std::vector<Touch>& touches) {
    checkMainThread();
    if (auto n = next()) n->touchesCancelled(touches);
}
void Responder::pressesBegan(const std::vector<Press>& presses) {
    checkMainThread();
    if (auto n = next()) n->pressesBegan(presses);
}
void Responder::pressesEnded(const std::vector<Press>& presses) {
    checkMainThread();
    if (auto n = next()) n->pressesEnded(presses);
}

void Responder::deliverPresses(const std::vector<Press>& presses, const std::shared_ptr<Responder>& fallback) {
    checkMainThread();
    auto target = firstResponder();
    deliverPressesTo(presses, target ? target : fallback);
}

void Responder::deliverPressesTo(const std::vector<Press>& presses, const std::shared_ptr<Responder>& target) {
    checkMainThread();
    if (!target) return;
    std::vector<Press> began = presses;
    for (auto& p : began) p.phase = Press::Phase::began;
    target->pressesBegan(began);
    std::vector<Press> ended = presses;
    for (auto& p : ended) p.phase = Press::Phase::ended;
    target->pressesEnded(ended);
}

Point Touch::location(const View* in) const {
    if (!in) return locationInWindow;
    return in->convertFromWindow(locationInWindow);
}

Point Touch::previousLocation(const View* in) const {
    if (!in) return previousLocationInWindow;
    return in->convertFromWindow(previousLocationInWindow);
}

}  // namespace ui
