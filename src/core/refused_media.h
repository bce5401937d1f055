#pragma once

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace reelhaven {

// The library files whose read took a media helper to a limit (its memory or its time, or killed
// it), remembered by what identifies the file's content on this machine, so no listing reads such
// a file again: each `--list` is a process of its own, so they are kept in a small file (under the
// container's caches). A file changed since (another size or time) is read again. Any thread.
class RefusedMedia {
public:
    struct Identity {
        dev_t device = 0;
        ino_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedNanoseconds = 0;
        bool operator==(const Identity&) const = default;
    };
    // Of the regular file open at `descriptor`; nothing for anything else.
    static std::optional<Identity> identityOf(int descriptor);

    // The one store of the file at `path` in this process.
    static std::shared_ptr<RefusedMedia> at(const std::string& path);

    explicit RefusedMedia(std::string path);

    bool contains(const Identity& identity);
    // Remembers it, here and in the file.
    void add(const Identity& identity);

    // More are not kept: a folder of thousands of hostile files is read again past them, as before.
    static constexpr std::size_t kMostEntries = 10'000;

private:
    void loadOnce();

    const std::string m_path;
    std::mutex m_mutex;
    bool m_loaded = false;
    std::vector<Identity> m_entries;
};

}  // namespace reelhaven
