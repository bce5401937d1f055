#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/dispatch/semaphore.h"
#include "platform/foundation/uuid.h"

namespace reelhaven {

// The stable identifier of a library file or folder, kept in the item's extended attribute
// "reelhaven.UUID" (stored by Linux as "user.reelhaven.UUID"): exactly 36 bytes of UUID text,
// written in upper case, accepted back in either case.
class FileIdentity {
public:
    FileIdentity() = delete;

    static constexpr const char* kAttributeName = "user.reelhaven.UUID";

    // One process-wide lock, held around each single attribute read or write.
    static dispatch::Semaphore& lock();

    // The identifier stored at `path`, or nothing when the attribute is missing, unreadable, not
    // exactly 36 bytes or not UUID text. Does not take the lock.
    static std::optional<foundation::UUID> readUUID(const std::string& path);
    // readUUID under the lock.
    static std::optional<foundation::UUID> readUUIDLocked(const std::string& path);
    // Stores a new random identifier at `path` and returns it, whether or not the store worked.
    // Does not take the lock.
    static foundation::UUID writeNewUUID(const std::string& path);

    // The identity rule every maker of items follows: read under the lock; when that gives
    // nothing, write a new identifier under the lock. The lock is not held across the pair, so
    // the write looks once more first: an identifier another thread wrote meanwhile is kept, and
    // every caller gets the one the file carries. An identifier that another file still carries
    // (a copy made with its attributes) is not taken over: the copy gets a new one written (see
    // FileIdentityClaims).
    static foundation::UUID identify(const std::string& path);
};

// The identity attributes a listing read for its entries all at once (see
// FileIdentityClaims::settle), in the order it makes their items. While one is alive on a thread,
// identify() there takes the next entry's attribute from it instead of reading it again, so a
// listing reads each attribute once; a path it does not hold is read as usual.
class FileIdentityReads {
public:
    using Reads = std::vector<std::pair<std::string, std::optional<foundation::UUID>>>;

    explicit FileIdentityReads(Reads reads);
    ~FileIdentityReads();
    FileIdentityReads(const FileIdentityReads&) = delete;
    FileIdentityReads& operator=(const FileIdentityReads&) = delete;

    // The attribute read for `path` on this thread, taken with those before it; nothing when it
    // was not read or was taken already.
    static std::optional<std::optional<foundation::UUID>> take(const std::string& path);

private:
    Reads m_reads;
    std::size_t m_next = 0;
    FileIdentityReads* m_enclosing;  // a listing of a folder inside a listing
};

}  // namespace reelhaven
