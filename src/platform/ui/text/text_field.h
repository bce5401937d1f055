#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controls/control.h"
#include "platform/ui/text/field_mouse.h"
#include "platform/ui/text/field_text_layout.h"
#include "platform/ui/text/font.h"
#include "platform/ui/text/text_container.h"
#include "platform/ui/text/text_input.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

enum class KeyboardType {
    defaultType,
    asciiCapable,
    numbersAndPunctuation,
    url,
    numberPad,
    phonePad,
    emailAddress,
    decimalPad,
    webSearch
};
enum class TextFieldBorderStyle { none, line, bezel, roundedRect };
enum class TextAutocapitalizationType { none, words, sentences, allCharacters };
enum class TextAutocorrectionType { defaultType, no, yes };
// What the text is, for the keyboard's suggestions ("url", "emailAddress", ...); empty: nothing.
using TextContentType = std::string;

class TextField;

class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;
    virtual void didBeginEditing(TextField& /*field*/) {}
    virtual void didEndEditing(TextField& /*field*/) {}
    virtual bool shouldReturn(TextField& /*field*/) { return true; }
};

// A text input, on one line unless given a line limit. A touch on it begins editing (it becomes
// the first responder) with the caret at the place nearest to the touch; a drag selects, a
// second tap selects a word and a third everything (FieldMouse). Resigning, or leaving the
// window, ends editing. Tests type with `type` (editing changed) and `pressReturn`; a keyboard edits
// it as a TextInput.
class TextField : public Control, public TextInput {
public:
    static std::shared_ptr<TextField> create(const Rect& frame = {});
    std::string className() const override { return "TextField"; }

    std::optional<std::string> text() const { return m_text; }
    void setText(std::optional<std::string> text);
    const std::string& placeholder() const { return m_placeholder; }
    void setPlaceholder(std::string placeholder);
    KeyboardType keyboardType() const { return m_keyboardType; }
    void setKeyboardType(KeyboardType type) {
        checkMainThread();
        m_keyboardType = type;
    }
    TextAutocapitalizationType autocapitalizationType() const { return m_autocapitalization; }
    void setAutocapitalizationType(TextAutocapitalizationType type) {
        checkMainThread();
        m_autocapitalization = type;
    }
    TextAutocorrectionType autocorrectionType() const { return m_autocorrection; }
    void setAutocorrectionType(TextAutocorrectionType type) {
        checkMainThread();
        m_autocorrection = type;
    }
    const TextContentType& textContentType() const { return m_contentType; }
    void setTextContentType(TextContentType type) {
        checkMainThread();
        m_contentType = std::move(type);
    }
    bool isSecureTextEntry() const { return m_secure; }
    void setSecureTextEntry(bool secure);
    Font font() const { return m_font; }
    void setFont(const Font& font);
    TextFieldBorderStyle borderStyle() const { return m_borderStyle; }
    void setBorderStyle(TextFieldBorderStyle style);
    std::shared_ptr<TextFieldDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TextFieldDelegate>& d) {
        checkMainThread();
        m_delegate = d;
    }

    // How many lines the text may wrap over, the field growing with it up to that many; 1 (the
    // default): one line that never wraps, however long the text.
    int lineLimit() const { return m_lineLimit; }
    void setLineLimit(int lines);
    // Where the text is drawn: the bounds inside the padding of the border style.
    Rect textRect() const;
    // The room the shown text is laid out in within `textRect`.
    TextContainer textContainer() const;
    // The text as the field shows it now (its placeholder when empty), in its own coordinates:
    // while edited on one line, scrolled as far as it takes to keep the caret in view (and that
    // scroll kept for the clicks that follow).
    FieldTextLayout shownLayout();

    bool canBecomeFirstResponder() const override { return isEnabled(); }
    // What the field shows: its text (one dot per character when secure), else the placeholder.
    std::string displayedText() const;
    // The shown text on one line, shaped, inside the padding of the border style; as tall as a
    // line of the font even when empty. With a line limit the text wraps at the width offered
    // (the field's own width for the intrinsic size), over that many lines at most.
    Size sizeThatFits(Size size) const override;
    Size intrinsicContentSize() const override;
    void layoutSubviews() override;
    // The user replaces the text: editing begins if needed, then "editing changed".
    void type(const std::string& text);
    void pressReturn();
    void beginEditing();
    void endEditing();
    bool isEditing() const { return m_editing; }
    bool resignFirstResponder() override;

    std::string inputText() const override { return m_text.value_or(""); }
    TextRange selectedTextRange() const override;
    void setSelectedTextRange(TextRange range) override;
    void replaceInput(const std::string& text, TextRange selection) override;
    bool isInputRightToLeft() const override { return isRightToLeft(); }

    void didMoveToWindow() override;
    // A drag on the field selects its text: it stays the field's touch.
    bool followsDrags() const override { return true; }

protected:
    explicit TextField(const Rect& frame) : Control(frame) {}
    bool beginTracking(const Touch& touch) override;
    bool continueTracking(const Touch& touch) override;

private:
    // The room of a field of several lines, `width` wide.
    TextContainer wrappingContainer(double width) const;
    // The shown text laid out as it is scrolled now, while edited.
    FieldTextLayout layout(FieldTextLayout::Editing editing);
    std::optional<std::string> m_text;
    std::string m_placeholder;
    KeyboardType m_keyboardType = KeyboardType::defaultType;
    TextAutocapitalizationType m_autocapitalization = TextAutocapitalizationType::sentences;
    TextAutocorrectionType m_autocorrection = TextAutocorrectionType::defaultType;
    TextContentType m_contentType;
    bool m_secure = false;
    Font m_font = Font::systemFont(17);
    TextFieldBorderStyle m_borderStyle = TextFieldBorderStyle::none;
    std::weak_ptr<TextFieldDelegate> m_delegate;
    bool m_editing = false;
    // Where the caret stands or what is selected; a text set anew puts the caret at its end.
    TextRange m_selection;
    int m_lineLimit = 1;
    FieldMouse m_mouse;                   // the press being tracked
    mutable double m_intrinsicWidth = 0;  // the width the intrinsic size last wrapped at
};

}  // namespace ui
