#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/foundation/data.h"
#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace foundation {

// One of the app's own small state files (the progress records, the user defaults, the kept scene
// session): read whole at start, written whole through a temporary file renamed over it. Every
// such file goes through this class, so none of them can hang or exhaust start-up: only regular
// files are read, up to a size limit, and opening never waits (a FIFO under the name would block
// an ordinary open for ever, /dev/zero would be read until memory runs out). Thread safe as far
// as the file system is; callers serialise their own saves.
class StoredFile {
public:
    // Far above what any state file of the app reaches (a progress record is some 200 bytes).
    static constexpr std::uint64_t kDefaultSizeLimit = 16 * 1024 * 1024;
    // Copies of damaged contents kept beside the file, newest first; older ones are removed.
    static constexpr std::size_t kKeptDamagedCopies = 3;
    static constexpr const char* kDamagedCopyInfix = ".corrupt-";

    explicit StoredFile(URL url, std::uint64_t sizeLimit = kDefaultSizeLimit);

    const URL& url() const { return m_url; }

    // The contents; nothing when no file is there. An item that is not a regular file (after
    // following links), a file over the size limit or a read error is an error naming the file.
    // A file over the limit is moved aside first, as a damaged copy, so the next write does not
    // replace what was never read.
    Result<std::optional<Data>> read() const;
    // Replaces the file whole; a failed write leaves the old file and no temporary behind.
    Status write(std::string_view bytes) const;
    // Removes what saves and damaged copies killed half-way left beside the file; the number
    // removed.
    std::size_t removeAbandonedTemporaries() const;
    // Keeps `bytes` beside the file as "<name>.corrupt-<UTC time>" for someone to look at, and
    // removes the oldest such copies beyond kKeptDamagedCopies. Bytes the newest copy already
    // holds are not copied again (a damaged file read at every start would otherwise push out
    // the older copies one start at a time): that copy's path is returned. The copy's path, or
    // nothing when it could not be written.
    std::optional<std::string> keepDamagedCopy(std::string_view bytes) const;

private:
    std::string damagedCopyPath() const;
    // Oldest first.
    std::vector<std::string> damagedCopyNames() const;
    void removeOldDamagedCopies() const;

    URL m_url;
    std::uint64_t m_sizeLimit;
};

}  // namespace foundation
