#include "transfer/web_uploader_listing_order.h"

#include "transfer/web_server_functions.h"

namespace reelhaven {

std::shared_ptr<const std::vector<std::size_t>> WebUploaderListingOrder::orderFor(
    const std::string& path, const WebUploaderFileSystem::DirectoryContents& contents) {
    const auto& entries = contents.entries;
    std::string names;
    std::size_t length = 0;
    for (const auto& entry : entries) length += entry.nameLength + 1;
    names.reserve(length);
    for (const auto& entry : entries) {
        names += contents.name(entry);
        names += '\0';
    }
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_folders.begin(); it != m_folders.end(); ++it) {
            if (it->path != path || it->names != names) continue;
            m_folders.splice(m_folders.begin(), m_folders, it);
            ++m_reuses;
            return it->order;
        }
    }
    // Collated outside the lock: other folders are listed meanwhile.
    auto order = std::make_shared<const std::vector<std::size_t>>(
        WebServerBrowsingOrder(entries.size(), [&](std::size_t index) { return contents.name(entries[index]); }));
    std::lock_guard lock(m_mutex);
    std::erase_if(m_folders, [&](const Folder& folder) { return folder.path == path; });
    m_folders.push_front(Folder{path, std::move(names), order});
    if (m_folders.size() > m_capacity) m_folders.pop_back();
    return order;
}

std::size_t WebUploaderListingOrder::reuses() const {
    std::lock_guard lock(m_mutex);
    return m_reuses;
}

}  // namespace reelhaven
