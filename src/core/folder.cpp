#include "core/folder.h"

#include "platform/base/fatal.h"

namespace reelhaven {

std::shared_ptr<Folder> Folder::create(foundation::URL url, LibraryItemType type, bool isSecurityScoped) {
    return std::shared_ptr<Folder>(new Folder(std::move(url), type, isSecurityScoped));
}

std::shared_ptr<Folder> Folder::create(foundation::URL url, LibraryItemType type, const ListedIdentity& listed) {
    return std::shared_ptr<Folder>(new Folder(std::move(url), type, listed));
}

void Folder::decode(const nlohmann::json&) { base::fatal("init(from:) has not been implemented"); }

std::vector<LibraryItemPtr> Folder::contents() const {
    std::lock_guard lock(m_mutex);
    return m_contents;
}

void Folder::setContents(std::vector<LibraryItemPtr> contents) {
    std::lock_guard lock(m_mutex);
    m_contents = std::move(contents);
}

}  // namespace reelhaven
