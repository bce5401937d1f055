#include "platform/ui/controllers/document_picker_view_controller.h"

#include <algorithm>

#include "platform/base/log.h"
#include "platform/foundation/file_manager.h"
#include "platform/foundation/uniform_type.h"
#include "platform/foundation/uuid.h"
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
    std::erase_if(urls, [this](const foundation::URL& url) {
        if (canPick(url)) return false;
        base::log(base::LogLevel::warning, "DocumentPicker", url.path() + " is not of the types the picker opens");
        return true;
    });
    if (!m_multiple && urls.size() > 1) urls.resize(1);
    if (m_asCopy) urls = copiesInInbox(urls);
    auto self = sharedAs<DocumentPickerViewController>();
    if (presentingViewController()) dismiss(false);
    if (auto d = delegate()) d->didPickDocuments(*self, urls);
}

bool DocumentPickerViewController::canPick(const foundation::URL& url) const {
    bool isFolder = false;
    const bool exists = url.isFileURL() && foundation::FileManager::defaultManager().fileExists(url, &isFolder);
    using foundation::UniformType;
    const UniformType type = exists && isFolder
                                 ? UniformType::folder()
                                 : UniformType::forFilenameExtension(url.pathExtension()).value_or(UniformType::data());
    return std::any_of(m_contentTypes.begin(), m_contentTypes.end(), [&](const std::string& identifier) {
        const auto wanted = UniformType::withIdentifier(identifier);
        return wanted && type.conforms(*wanted);
    });
}

std::vector<foundation::URL> DocumentPickerViewController::copiesInInbox(
    const std::vector<foundation::URL>& urls) const {
    auto& files = foundation::FileManager::defaultManager();
    std::vector<foundation::URL> copies;
    const auto temporary = files.url(foundation::SearchPathDirectory::temporary, foundation::Intermediates::create);
    if (!temporary) {
        base::log(base::LogLevel::error, "DocumentPicker", "no folder for copies: " + temporary.error().description);
        return copies;
    }
    for (const auto& url : urls) {
        // A folder per pick keeps the item's own name without meeting an earlier copy.
        const auto folder =
            temporary.value()
                .appendingPathComponent(inboxName, foundation::PathKind::directory)
                .appendingPathComponent(foundation::UUID::random().uuidString(), foundation::PathKind::directory);
        const auto copy = folder.appendingPathComponent(url.lastPathComponent());
        auto status = files.createDirectory(folder, foundation::Intermediates::create);
        if (status) status = files.copyItem(url, copy);
        if (!status) {
            base::log(base::LogLevel::warning, "DocumentPicker",
                      "could not copy " + url.path() + ": " + status.error().description);
            continue;
        }
        copies.push_back(copy);
    }
    return copies;
}

void DocumentPickerViewController::cancel() {
    checkMainThread();
    auto self = sharedAs<DocumentPickerViewController>();
    if (presentingViewController()) dismiss(false);
    if (auto d = delegate()) d->wasCancelled(*self);
}

}  // namespace ui
