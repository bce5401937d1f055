#include "platform/ui/controls/search_bar.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<SearchBar> SearchBar::create() { return make<SearchBar>(); }

void SearchBar::beginEditing() {
    checkMainThread();
    if (m_editing) return;
    m_editing = true;
    becomeFirstResponder();
    if (onBegin) onBegin(*this);
    if (auto d = delegate()) d->textDidBeginEditing(*this);
}

void SearchBar::type(const std::string& text) { replaceInput(text, {text.size(), 0}); }

TextRange SearchBar::selectedTextRange() const { return m_selection.clamped(inputText().size()); }

void SearchBar::setSelectedTextRange(TextRange range) {
    checkMainThread();
    m_selection = TextEditing(inputText(), range).selection();
}

void SearchBar::replaceInput(const std::string& text, TextRange selection) {
    checkMainThread();
    beginEditing();
    m_text = text;
    setSelectedTextRange(selection);
    if (auto d = delegate()) d->textDidChange(*this, text);
    if (onTextChange) onTextChange(*this);
}

void SearchBar::tapSearch() {
    checkMainThread();
    if (auto d = delegate()) d->searchButtonClicked(*this);
}

void SearchBar::tapCancel() {
    checkMainThread();
    m_text = std::string();
    m_selection = {};
    if (auto d = delegate()) d->cancelButtonClicked(*this);
    if (onCancel) onCancel(*this);
    endEditing();
}

void SearchBar::endEditing() {
    checkMainThread();
    if (!m_editing) return;
    m_editing = false;
    resignFirstResponder();
    if (auto d = delegate()) d->textDidEndEditing(*this);
}

}  // namespace ui
