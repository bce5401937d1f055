#pragma once

#include <optional>
#include <string>

#include "platform/dispatch/semaphore.h"
#include "platform/foundation/uuid.h"

namespace reelhaven {

// A file's identity attribute as a listing read it for all its entries at once
// (FileIdentityClaims::settle), handed to the item made for that file so the attribute is read
// once; `stored` is nothing when the file carries none.
struct ListedIdentity {
    std::optional<foundation::UUID> stored;
};

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
    // The same rule with the attribute as `listed` read it a moment ago, so it is not read twice.
    // Names of one file (hard links) share its attribute: the first name identified keeps the
    // identifier, each other name gets one of its own (FileIdentityClaims::identifierOfLink),
    // on the listing that writes the attribute as on every later one.
    static foundation::UUID identify(const std::string& path, const ListedIdentity& listed);

private:
    // What `path` goes by when the file carries `uuid`: `uuid` itself, its link's own identifier
    // when another name of the file holds it, or nothing when another file does.
    static std::optional<foundation::UUID> claimedIdentifier(const foundation::UUID& uuid, const std::string& path);
};

}  // namespace reelhaven
