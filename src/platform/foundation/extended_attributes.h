#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/foundation/data.h"
#include "platform/foundation/error.h"

namespace foundation {

// Extended attributes of files in the Linux "user." namespace: the name "reelhaven.UUID" is
// stored as "user.reelhaven.UUID". Symbolic links are followed. Thread safe (no state).
class ExtendedAttributes {
public:
    // The value of an attribute. Fails with POSIX ENODATA when it is missing and ERANGE when it
    // is longer than `maxSize` bytes.
    static Result<Data> get(const std::string& path, std::string_view name, std::size_t maxSize = 64 * 1024);
    // Creates or replaces an attribute.
    static Status set(const std::string& path, std::string_view name, std::string_view value);
    // Removes an attribute; a missing one fails with ENODATA.
    static Status remove(const std::string& path, std::string_view name);

    // The full attribute name on Linux: "user." + name.
    static std::string systemName(std::string_view name);

    // The backup exclusion flag. No Linux backup reads it, and items are excluded by default, so
    // it is kept inverted: an item is included when it carries kIncludedInBackupName ("1") and
    // excluded otherwise. On ext4 an inode holds the identity attribute and no second one; an
    // attribute on every excluded item would cost each listed file and folder a 4 KiB block.
    // Setting the flag either way removes kLegacyExcludedFromBackupName, which older builds
    // wrote on excluded items, and frees that block.
    static constexpr std::string_view kIncludedInBackupName = "reelhaven.includedInBackup";
    static constexpr std::string_view kLegacyExcludedFromBackupName = "reelhaven.excludedFromBackup";
    static Result<bool> isExcludedFromBackup(const std::string& path);
    static Status setExcludedFromBackup(const std::string& path, bool excluded);
};

}  // namespace foundation
