#include "core/file_identity_claims.h"

#include <sys/stat.h>

#include <array>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "core/file_identity.h"
#include "platform/foundation/md5.h"

namespace reelhaven {

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    if (::stat(a.c_str(), &first) != 0 || ::stat(b.c_str(), &second) != 0) return false;
    return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

FileIdentityClaims& FileIdentityClaims::shared() {
    // Never destroyed: listings on other threads may still ask while the process exits.
    static auto* claims = new FileIdentityClaims();
    return *claims;
}

std::string FileIdentityClaims::canonicalPath(const std::string& path) {
    const std::filesystem::path entry(path);
    std::array<char, PATH_MAX> resolved{};
    if (!entry.has_parent_path() || !::realpath(entry.parent_path().c_str(), resolved.data())) return path;
    return (std::filesystem::path(resolved.data()) / entry.filename()).string();
}

FileIdentityClaims::Claim FileIdentityClaims::claim(const foundation::UUID& uuid, const std::string& path) {
    std::lock_guard lock(m_mutex);
    auto [holder, inserted] = m_holders.try_emplace(uuid, path);
    if (inserted || holder->second == path) return Claim::granted;
    // Resolving paths costs more than a listing's own work per file, so only a conflict pays it.
    if (canonicalPath(holder->second) != canonicalPath(path)) {
        // The holder keeps the identifier only while it still carries it: a file renamed or
        // moved since, or one whose attribute changed, gives it up.
        if (FileIdentity::readUUIDLocked(holder->second) == uuid)
            return sameFile(holder->second, path) ? Claim::heldBySameFile : Claim::heldByAnotherFile;
    }
    holder->second = path;
    return Claim::granted;
}

std::vector<ListedIdentity> FileIdentityClaims::settle(const std::vector<std::string>& paths) {
    std::vector<ListedIdentity> listed;
    listed.reserve(paths.size());
    // Nearly every identifier is carried once: only the second carrier of one starts a group.
    std::unordered_map<foundation::UUID, std::size_t> firstCarrier;
    firstCarrier.reserve(paths.size());
    std::unordered_map<foundation::UUID, std::vector<std::size_t>> shared;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        listed.push_back(ListedIdentity{FileIdentity::readUUIDLocked(paths[i])});
        const auto& stored = listed.back().stored;
        if (!stored) continue;
        auto [first, isFirst] = firstCarrier.try_emplace(*stored, i);
        if (isFirst) continue;
        auto& group = shared[*stored];
        if (group.empty()) group.push_back(first->second);
        group.push_back(i);
    }

    if (!shared.empty()) {
        std::lock_guard lock(m_mutex);
        for (const auto& [uuid, carriers] : shared) {
            if (auto known = m_holders.find(uuid);
                known != m_holders.end() && FileIdentity::readUUIDLocked(known->second) == uuid)
                continue;
            std::optional<std::size_t> oldest;
            timespec oldestChange{};
            for (const std::size_t carrier : carriers) {
                struct stat info {};
                if (::stat(paths[carrier].c_str(), &info) != 0) continue;
                const timespec change = info.st_ctim;
                if (!oldest || change.tv_sec < oldestChange.tv_sec ||
                    (change.tv_sec == oldestChange.tv_sec && change.tv_nsec < oldestChange.tv_nsec)) {
                    oldest = carrier;
                    oldestChange = change;
                }
            }
            if (oldest) m_holders[uuid] = paths[*oldest];
        }
    }
    return listed;
}

foundation::UUID FileIdentityClaims::identifierOfLink(const foundation::UUID& uuid, const std::string& path) {
    // A name-based identifier (version 3 layout) of the shared one and the link's own path.
    const std::string digest = foundation::md5Hex(uuid.uuidString() + '\0' + canonicalPath(path));
    std::array<std::uint8_t, 16> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(std::stoi(digest.substr(i * 2, 2), nullptr, 16));
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0f) | 0x30);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3f) | 0x80);
    return foundation::UUID(bytes);
}

}  // namespace reelhaven
