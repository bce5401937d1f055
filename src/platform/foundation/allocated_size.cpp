#include "platform/foundation/allocated_size.h"

#include <optional>

#include "platform/foundation/file_manager.h"

namespace foundation {

Result<std::uint64_t> allocatedFileSize(const URL& url) { return FileManager::defaultManager().allocatedSize(url); }

Result<std::uint64_t> allocatedSize(const URL& folder, SizeScope scope) {
    std::optional<Error> enumerationError;
    EnumerationOptions options;
    options.hiddenFiles = HiddenFiles::skip;
    options.skipsSubdirectoryDescendants = scope == SizeScope::topLevelOnly;
    auto items = FileManager::defaultManager().enumerate(folder, options, [&](const URL&, const Error& error) {
        enumerationError = error;
        return false;
    });
    if (!items) return items.error();
    std::uint64_t total = 0;
    for (const auto& item : *items) {
        auto size = allocatedFileSize(item);
        if (!size) return size.error();
        total += *size;
    }
    if (enumerationError) return *enumerationError;
    return total;
}

}  // namespace foundation
