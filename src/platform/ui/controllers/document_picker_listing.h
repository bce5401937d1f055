#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace ui {

// One folder as the document picker shows it: its sub-folders first, then the files the picker
// may pick, each group by name ignoring case; hidden items and files of other types are left out.
class DocumentPickerListing {
public:
    struct Entry {
        foundation::URL url;
        std::string name;
        bool isFolder = false;
    };

    // Lists `folder`; `canPick` says which files are offered. An error when it cannot be read.
    static foundation::Result<DocumentPickerListing> list(const foundation::URL& folder,
                                                          const std::function<bool(const foundation::URL&)>& canPick);

    const foundation::URL& folder() const { return m_folder; }
    const std::vector<Entry>& entries() const { return m_entries; }
    // The folder above `folder`, none at the file system's root.
    static std::optional<foundation::URL> parentOf(const foundation::URL& folder);
    // A folder's name as a title ("/" at the root).
    static std::string titleOf(const foundation::URL& folder);

private:
    foundation::URL m_folder;
    std::vector<Entry> m_entries;
};

}  // namespace ui
