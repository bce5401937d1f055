#include "platform/foundation/extended_attributes.h"

#include <sys/xattr.h>

#include <cerrno>

namespace foundation {

std::string ExtendedAttributes::systemName(std::string_view name) { return "user." + std::string(name); }

Result<Data> ExtendedAttributes::get(const std::string& path, std::string_view name, std::size_t maxSize) {
    const std::string full = systemName(name);
    // Read into a buffer one byte larger than allowed, so an over-long value is told apart from
    // one of exactly maxSize bytes without a second (racy) size query.
    Data value(maxSize + 1, '\0');
    ssize_t length = ::getxattr(path.c_str(), full.c_str(), value.data(), value.size());
    if (length < 0) return Error::posix(errno, "read attribute " + full + " of " + path);
    if (static_cast<std::size_t>(length) > maxSize) return Error::posix(ERANGE, "attribute " + full + " too long");
    value.resize(static_cast<std::size_t>(length));
    return value;
}

Status ExtendedAttributes::set(const std::string& path, std::string_view name, std::string_view value) {
    const std::string full = systemName(name);
    if (::setxattr(path.c_str(), full.c_str(), value.data(), value.size(), 0) != 0)
        return Error::posix(errno, "write attribute " + full + " of " + path);
    return {};
}

Status ExtendedAttributes::remove(const std::string& path, std::string_view name) {
    const std::string full = systemName(name);
    if (::removexattr(path.c_str(), full.c_str()) != 0)
        return Error::posix(errno, "remove attribute " + full + " of " + path);
    return {};
}

namespace {

// Removing an attribute that is not there is no failure.
Status removeIfPresent(const std::string& path, std::string_view name) {
    auto status = ExtendedAttributes::remove(path, name);
    if (!status && status.error().isPOSIX(ENODATA)) return {};
    return status;
}

}  // namespace

Result<bool> ExtendedAttributes::isExcludedFromBackup(const std::string& path) {
    auto value = get(path, kIncludedInBackupName, 16);
    if (value) return *value != "1";
    if (value.error().isPOSIX(ENODATA)) return true;
    return value.error();
}

Status ExtendedAttributes::setExcludedFromBackup(const std::string& path, bool excluded) {
    auto status = excluded ? removeIfPresent(path, kIncludedInBackupName) : set(path, kIncludedInBackupName, "1");
    if (!status) return status;
    return removeIfPresent(path, kLegacyExcludedFromBackupName);
}

}  // namespace foundation
