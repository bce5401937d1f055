#include "platform/ui/search_bar.h"

namespace ui {

std::shared_ptr<SearchBar> SearchBar::create() { return make<SearchBar>(); }

void SearchBar::beginEditing() {
    if (m_editing) return;
    m_editing = true;
    becomeFirstResponder();
    if (onBegin) onBegin(*this);
    if (auto d = delegate()) d->textDidBeginEditing(*this);
}

void SearchBar::type(const std::string& text) {
    beginEditing();
    m_text = text;
    if (auto d = delegate()) d->textDidChange(*this, text);
    if (onTextChange) onTextChange(*this);
}

void SearchBar::tapSearch() {
    if (auto d = delegate()) d->searchButtonClicked(*this);
}

void SearchBar::tapCancel() {
    m_text = std::string();
    if (auto d = delegate()) d->cancelButtonClicked(*this);
    if (onCancel) onCancel(*this);
    endEditing();
}

void SearchBar::endEditing() {
    if (!m_editing) return;
    m_editing = false;
    resignFirstResponder();
    if (auto d = delegate()) d->textDidEndEditing(*this);
}

}  // namespace ui
