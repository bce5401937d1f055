#include "platform/ui/font_picker_view_controller.h"

namespace ui {

std::shared_ptr<FontPickerViewController> FontPickerViewController::create(Configuration configuration) {
    auto picker = make<FontPickerViewController>();
    picker->m_configuration = configuration;
    return picker;
}

void FontPickerViewController::pick(const FontDescriptor& descriptor) {
    m_selected = descriptor;
    if (auto d = delegate()) d->didPickFont(*this);
}

void FontPickerViewController::cancel() {
    if (auto d = delegate()) d->didCancel(*this);
}

}  // namespace ui
