#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/file_identity.h"
#include "platform/foundation/uuid.h"

namespace reelhaven {

// Which file holds each identifier this process has met. A file copied together with its
// attributes (`cp -a`, a restored backup) carries the identifier of its source, yet the grid and
// every library operation tell items apart by it: two items with one identifier and one display
// name cannot both be shown. The file that held the identifier before keeps it: the holder met
// earlier while it still carries it, and among files a listing meets at once, the oldest by
// status-change time (a copy is newer than its source, whatever times it was given). Another
// file that carries it is told so, and gets one of its own.
//
// Nothing here is trusted blindly: a holder is looked at on disk again before it wins, so a file
// renamed or moved keeps its identifier under its new path, and state left by earlier listings
// can never take an identifier from a file. Thread safe; the attribute reads take the identity
// lock one at a time, as every reader does.
class FileIdentityClaims {
public:
    enum class Claim {
        granted,            // `path` may use the identifier
        heldByAnotherFile,  // another file carries it and keeps it
        heldBySameFile,     // another name of the same file (a hard or symbolic link) carries it
    };

    static FileIdentityClaims& shared();

    // Records `path` as the holder of `uuid` unless another path still carries it.
    Claim claim(const foundation::UUID& uuid, const std::string& path);

    // Before a listing claims for its entries: where several of `paths` carry one identifier and
    // no holder met earlier still does, records the oldest of them as its holder (the first
    // listed among equals, as names of one file are), so sorting cannot hand the identifier to a
    // copy. Reads each path's attribute (under the identity lock) and returns what it read, one
    // per path in order, for the listing's items to be made with; the times only of those that
    // share one.
    std::vector<ListedIdentity> settle(const std::vector<std::string>& paths);

    // The identifier of a second name of one file: stable for that name and never written, since
    // writing it would change the attribute under every name of the file.
    static foundation::UUID identifierOfLink(const foundation::UUID& uuid, const std::string& path);

private:
    // The path with its folder resolved, so one entry spelled two ways is one holder; the entry
    // itself is not resolved, so a link stays a name of its own.
    static std::string canonicalPath(const std::string& path);

    std::mutex m_mutex;
    std::unordered_map<foundation::UUID, std::string> m_holders;
};

}  // namespace reelhaven
