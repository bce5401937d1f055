#include "platform/ui/text_field.h"
#include "platform/ui/main_thread_check.h"

namespace ui {

std::shared_ptr<TextField> TextField::create(const Rect& frame) { return make<TextField>(frame); }

void TextField::type(const std::string& text) {
    checkMainThread();
    if (!isEnabled()) return;
    if (!m_editing) {
        m_editing = true;
        becomeFirstResponder();
        if (auto d = delegate()) d->didBeginEditing(*this);
        sendActions(editingDidBegin);
    }
    m_text = text;
    sendActions(editingChanged);
}

void TextField::pressReturn() {
    checkMainThread();
    auto d = delegate();
    if (d && !d->shouldReturn(*this)) return;
    sendActions(editingDidEndOnExit);
    endEditing();
}

void TextField::endEditing() {
    checkMainThread();
    if (!m_editing) return;
    m_editing = false;
    resignFirstResponder();
    if (auto d = delegate()) d->didEndEditing(*this);
    sendActions(editingDidEnd);
}

}  // namespace ui
