#include "core/file_identity.h"

#include "core/file_identity_claims.h"

#include <sys/xattr.h>

#include <array>

namespace reelhaven {

namespace {

constexpr std::size_t kUUIDTextLength = 36;

class LockHolder {
public:
    LockHolder() { FileIdentity::lock().wait(); }
    ~LockHolder() { FileIdentity::lock().signal(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;
};

}  // namespace

dispatch::Semaphore& FileIdentity::lock() {
    // Never destroyed: listings on other threads may still use it while the process exits.
    static auto* semaphore = new dispatch::Semaphore(1);
    return *semaphore;
}

std::optional<foundation::UUID> FileIdentity::readUUID(const std::string& path) {
    std::array<char, kUUIDTextLength> buffer{};
    // A longer attribute fails with ERANGE, a missing one with ENODATA: both give nothing.
    const ssize_t length = ::getxattr(path.c_str(), kAttributeName, buffer.data(), buffer.size());
    if (length != static_cast<ssize_t>(kUUIDTextLength)) return std::nullopt;
    return foundation::UUID::parse(std::string_view(buffer.data(), buffer.size()));
}

std::optional<foundation::UUID> FileIdentity::readUUIDLocked(const std::string& path) {
    LockHolder held;
    return readUUID(path);
}

foundation::UUID FileIdentity::writeNewUUID(const std::string& path) {
    const auto uuid = foundation::UUID::random();
    const std::string text = uuid.uuidString();
    // A volume without user attributes refuses this; the item still gets the id for this run.
    (void)::setxattr(path.c_str(), kAttributeName, text.data(), text.size(), 0);
    return uuid;
}

foundation::UUID FileIdentity::identify(const std::string& path) {
    return identify(path, ListedIdentity{readUUIDLocked(path)});
}

foundation::UUID FileIdentity::identify(const std::string& path, const ListedIdentity& listed) {
    const auto& stored = listed.stored;
    // The identifier the file carries, unless another file holds it: a copy that kept the
    // attribute of its source needs one of its own, written, so it keeps it after a restart.
    if (stored) {
        if (auto claimed = claimedIdentifier(*stored, path)) return *claimed;
    }
    foundation::UUID fresh;
    {
        LockHolder held;
        // Another thread identifying this file since the read may have written its identifier
        // already. That one is the file's now: writing over it would leave the other thread's
        // item with an identifier the file no longer carries.
        const auto now = readUUID(path);
        fresh = now && now != stored ? *now : writeNewUUID(path);
    }
    // What was found written may have come through another name of this file (a hard link
    // identified a moment ago): that name keeps it, and this one gets its own, as every later
    // listing gives it.
    if (auto claimed = claimedIdentifier(fresh, path)) return *claimed;
    // Another file carries it (a copy made with its attributes meanwhile): this one gets its own.
    {
        LockHolder held;
        fresh = writeNewUUID(path);
    }
    (void)FileIdentityClaims::shared().claim(fresh, path);
    return fresh;
}

std::optional<foundation::UUID> FileIdentity::claimedIdentifier(const foundation::UUID& uuid, const std::string& path) {
    switch (FileIdentityClaims::shared().claim(uuid, path)) {
        case FileIdentityClaims::Claim::granted: return uuid;
        case FileIdentityClaims::Claim::heldBySameFile: return FileIdentityClaims::identifierOfLink(uuid, path);
        case FileIdentityClaims::Claim::heldByAnotherFile: return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace reelhaven
