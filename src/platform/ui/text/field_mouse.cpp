#include "platform/ui/text/field_mouse.h"

#include <algorithm>

#include "platform/ui/text/text_input.h"

namespace ui {

void FieldMouse::press(TextInput& input, const FieldTextLayout& layout, Point at, int clicks) {
    m_clicks = clicks;
    if (clicks >= 3) {
        m_anchor = {0, input.inputText().size()};
    } else if (clicks == 2) {
        m_anchor = layout.wordAt(at);
    } else {
        m_anchor = {layout.offsetAt(at), 0};
    }
    input.setSelectedTextRange(m_anchor);
}

void FieldMouse::drag(TextInput& input, const FieldTextLayout& layout, Point at) {
    if (m_clicks >= 3) return;
    const auto reached = m_clicks == 2 ? layout.wordAt(at) : TextRange{layout.offsetAt(at), 0};
    // The selection runs from the far end of what the press took to the far end of what the
    // pointer reaches; dragged back, the caret is at its start.
    if (reached.location < m_anchor.location) {
        input.setSelectedTextRange({reached.location, m_anchor.end() - reached.location, true});
    } else {
        const size_t end = std::max(reached.end(), m_anchor.end());
        input.setSelectedTextRange({m_anchor.location, end - m_anchor.location, false});
    }
}

}  // namespace ui
