#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "transfer/web_uploader_file_system.h"

namespace reelhaven {

// The order in which a file browser shows a folder's entries, remembered for the last few
// folders listed. Collating every name took most of the time of listing a large folder, and
// folders are listed again and again unchanged (a page refreshing, several clients): when a
// folder holds exactly the same names in the same order as last time, the order is reused.
// Sizes and types are read afresh on every listing; only the order is kept. Thread-safe.
class WebUploaderListingOrder {
public:
    static constexpr std::size_t kDefaultFolders = 4;

    explicit WebUploaderListingOrder(std::size_t folders = kDefaultFolders) : m_capacity(folders) {}

    // The indexes of `contents.entries` in browsing order, for the folder at `path`.
    std::shared_ptr<const std::vector<std::size_t>> orderFor(const std::string& path,
                                                             const WebUploaderFileSystem::DirectoryContents& contents);
    // How many listings were ordered from what was remembered (for tests).
    std::size_t reuses() const;

private:
    struct Folder {
        std::string path;
        std::string names;  // every name in entry order, each followed by a NUL
        std::shared_ptr<const std::vector<std::size_t>> order;
    };

    const std::size_t m_capacity;
    mutable std::mutex m_mutex;   // guards the two below
    std::list<Folder> m_folders;  // most recently listed first
    std::size_t m_reuses = 0;
};

}  // namespace reelhaven
