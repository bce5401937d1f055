#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/text/text_input.h"
#include "platform/ui/views/main_thread_check.h"
#include "platform/ui/views/view.h"

namespace ui {

class SearchBar;

class SearchBarDelegate {
public:
    virtual ~SearchBarDelegate() = default;
    virtual void textDidBeginEditing(SearchBar& /*bar*/) {}
    virtual void textDidChange(SearchBar& /*bar*/, const std::string& /*text*/) {}
    virtual void textDidEndEditing(SearchBar& /*bar*/) {}
    virtual void searchButtonClicked(SearchBar& /*bar*/) {}
    virtual void cancelButtonClicked(SearchBar& /*bar*/) {}
};

// A search field. Tests type into it (`type`), and tap its search and cancel buttons; a keyboard
// edits it as a TextInput.
class SearchBar : public View, public TextInput {
public:
    static std::shared_ptr<SearchBar> create();
    std::string className() const override { return "SearchBar"; }

    std::optional<std::string> text() const { return m_text; }
    void setText(std::optional<std::string> text) {
        checkMainThread();
        m_text = std::move(text);
        m_selection = {inputText().size(), 0};
    }
    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(std::string placeholder) {
        checkMainThread();
        m_placeholder = std::move(placeholder);
    }
    bool showsCancelButton() const { return m_showsCancelButton; }
    void setShowsCancelButton(bool shows) {
        checkMainThread();
        m_showsCancelButton = shows;
    }
    bool isEditing() const { return m_editing; }
    std::shared_ptr<SearchBarDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<SearchBarDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    bool canBecomeFirstResponder() const override { return true; }
    void beginEditing();
    void type(const std::string& text);
    void tapSearch();
    void tapCancel();
    void endEditing();

    std::string inputText() const override { return m_text.value_or(""); }
    TextRange selectedTextRange() const override;
    void setSelectedTextRange(TextRange range) override;
    void replaceInput(const std::string& text, TextRange selection) override;
    bool isInputRightToLeft() const override { return isRightToLeft(); }

    // Told of every edit (the search controller listens here).
    std::function<void(SearchBar&)> onTextChange;
    std::function<void(SearchBar&)> onBegin;
    std::function<void(SearchBar&)> onCancel;

protected:
    SearchBar() : View(Rect(0, 0, 320, 56)) {}

private:
    std::optional<std::string> m_text;
    std::string m_placeholder;
    bool m_showsCancelButton = false;
    bool m_editing = false;
    TextRange m_selection;  // the caret at the end of a text set anew
    std::weak_ptr<SearchBarDelegate> m_delegate;
};

}  // namespace ui
