#pragma once

#include <string>

#include "platform/ui/text/text_editing.h"

namespace ui {

// What a keyboard edits: a text field or a search field being edited. A keyboard reads the text
// and its selection, and hands back what an edit made of them.
class TextInput {
public:
    virtual ~TextInput() = default;

    virtual std::string inputText() const = 0;
    // Where the caret stands, or what is selected (bytes of the text).
    virtual TextRange selectedTextRange() const = 0;
    virtual void setSelectedTextRange(TextRange range) = 0;
    // The user changed the text (typed, deleted, cut or pasted): editing begins if it had not,
    // the text and the selection are replaced, and the owner hears of the change.
    virtual void replaceInput(const std::string& text, TextRange selection) = 0;
    // Whether the text reads from the right (Left then moves forward).
    virtual bool isInputRightToLeft() const = 0;

    // How far the line of an edited field is scrolled sideways to keep its caret in view, as it
    // was last shown (FieldTextLayout); a click lands on the text as shown.
    double textScroll() const { return m_textScroll; }
    void setTextScroll(double scroll) { m_textScroll = scroll; }

private:
    double m_textScroll = 0;
};

}  // namespace ui
