#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/error.h"

namespace reelhaven {

// The uploader's view of its folder: maps the relative paths clients send to absolute paths that
// never leave the folder (also not through symbolic links), finds free names and moves without
// replacing anything.
class WebUploaderFileSystem {
public:
    explicit WebUploaderFileSystem(std::string root);

    const std::string& root() const { return m_root; }

    // The folder joined with the cleaned relative path ("/" and "" give the folder itself).
    std::string absolutePath(const std::string& relative) const;
    bool isRoot(const std::string& absolute) const { return absolute == m_root; }
    // Whether `absolute` (which may not exist yet) stays inside the folder once symbolic links in
    // it are resolved. An existing item must itself resolve inside; a missing one needs its nearest
    // existing ancestor to.
    bool staysInside(const std::string& absolute) const;
    // The first name below the folder that begins with "." on the way to `absolute` (made by
    // `absolutePath`, which may not exist yet), as written or once symbolic links on the way are
    // resolved; nothing when every name is plain.
    std::optional<std::string> hiddenComponent(const std::string& absolute) const;

    // Whether `a` and `b` (made by `absolutePath`) name one entry of one folder, however the
    // folder is reached: a move from one to the other has nothing to do.
    static bool isSameEntry(const std::string& a, const std::string& b);
    // Whether moving `source` to `destination` (which may not exist yet) would put a folder inside
    // itself once symbolic links on the way are resolved. A link to a folder moves as a link.
    bool movesFolderIntoItself(const std::string& source, const std::string& destination) const;

    // `path` when nothing exists there, else "name (1).ext", "name (2).ext", ... in the same folder.
    static std::string uniquePath(const std::string& path);
    // Moves `source` to the unique path for `destination`, picking the next free name when another
    // item takes the name meanwhile; never replaces an item. Returns the final path.
    static foundation::Result<std::string> moveToUniquePath(const std::string& source, const std::string& destination);
    // Creates a folder at the unique path for `path` (its parent must exist). Returns the final path.
    static foundation::Result<std::string> createUniqueDirectory(const std::string& path);

    enum class EntryType { file, directory, other };
    // The items directly inside a folder, in no particular order. A folder may hold hundreds of
    // thousands: the names share one buffer, and an entry is a few numbers.
    class DirectoryContents {
    public:
        struct Entry {
            std::uint32_t nameOffset = 0;
            std::uint32_t nameLength = 0;
            EntryType type = EntryType::other;  // what lstat says: links are "other"
            std::uint64_t size = 0;
        };
        void add(std::string_view name, EntryType type, std::uint64_t size);
        std::string_view name(const Entry& entry) const {
            return {m_names.data() + entry.nameOffset, entry.nameLength};
        }

        std::vector<Entry> entries;

    private:
        std::string m_names;
    };
    static foundation::Result<DirectoryContents> contentsOfDirectory(const std::string& path);

    static std::string lastPathComponent(const std::string& path);
    static std::string pathExtension(const std::string& name);

private:
    // `absolute` with its symbolic links resolved, or its nearest existing ancestor's when it does
    // not exist; nothing when neither resolves.
    std::optional<std::string> resolved(const std::string& absolute) const;

    std::string m_root;
    std::string m_canonicalRoot;
};

}  // namespace reelhaven
