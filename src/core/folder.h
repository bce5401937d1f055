#pragma once

#include <memory>
#include <vector>

#include "core/library_item.h"

namespace reelhaven {

// A folder of the library; `contents` is empty unless its maker filled it with the listing.
class Folder : public LibraryItem {
public:
    static std::shared_ptr<Folder> create(foundation::URL url, LibraryItemType type, bool isSecurityScoped);
    // One a listing makes, with the identity attribute it read for the file.
    static std::shared_ptr<Folder> create(foundation::URL url, LibraryItemType type, const ListedIdentity& listed);
    // Folders are never decoded from their coded form; asking is a programming error.
    [[noreturn]] static void decode(const nlohmann::json& json);

    std::vector<LibraryItemPtr> contents() const;
    void setContents(std::vector<LibraryItemPtr> contents);

protected:
    using LibraryItem::LibraryItem;

private:
    std::vector<LibraryItemPtr> m_contents;
};

using FolderPtr = std::shared_ptr<Folder>;

}  // namespace reelhaven
