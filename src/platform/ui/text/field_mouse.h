#pragma once

#include "platform/ui/text/field_text_layout.h"
#include "platform/ui/text/text_editing.h"

namespace ui {

class TextInput;

// What a mouse does in a field's text, one press at a time: the press puts the caret at the
// place between characters nearest to it, the second click of a double click selects the word
// there and a third the whole text; dragging on selects from where the press began, by words
// after a double click. The layout is the one the field shows at that moment. Value type.
class FieldMouse {
public:
    void press(TextInput& input, const FieldTextLayout& layout, Point at, int clicks);
    void drag(TextInput& input, const FieldTextLayout& layout, Point at);

private:
    TextRange m_anchor;  // what the press selected: the caret's place, or the word
    int m_clicks = 1;
};

}  // namespace ui
