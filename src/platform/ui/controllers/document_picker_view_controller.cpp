#include "platform/ui/controllers/document_picker_view_controller.h"
#include "platform/ui/views/main_thread_check.h"

namespace ui {

std::shared_ptr<DocumentPickerViewController> DocumentPickerViewController::create(
    std::vector<std::string> contentTypes, bool asCopy) {
    auto picker = make<DocumentPickerViewController>();
    picker->m_contentTypes = std::move(contentTypes);
    picker->m_asCopy = asCopy;
    return picker;
}

void DocumentPickerViewController::pick(std::vector<foundation::URL> urls) {
    checkMainThread();
    if (!m_multiple && urls.size() > 1) urls.resize(1);
    auto self = sharedAs<DocumentPickerViewController>();
    if (presentingViewController()) dismiss(false);
    if (auto d = delegate()) d->didPickDocuments(*self, urls);
}

void DocumentPickerViewController::cancel() {
    checkMainThread();
    auto self = sharedAs<DocumentPickerViewController>();
    if (presentingViewController()) dismiss(false);
    if (auto d = delegate()) d->wasCancelled(*self);
}

}  // namespace ui
