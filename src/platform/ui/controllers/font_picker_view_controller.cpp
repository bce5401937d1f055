#include "platform/ui/controllers/font_picker_view_controller.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<FontPickerViewController> FontPickerViewController::create(Configuration configuration) {
    auto picker = make<FontPickerViewController>();
    picker->m_configuration = configuration;
    return picker;
}

void FontPickerViewController::pick(const FontDescriptor& descriptor) {
    checkMainThread();
    m_selected = descriptor;
    if (auto d = delegate()) d->didPickFont(*this);
}

void FontPickerViewController::cancel() {
    checkMainThread();
    if (auto d = delegate()) d->didCancel(*this);
}

}  // namespace ui
