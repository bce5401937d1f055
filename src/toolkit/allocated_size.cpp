#include "toolkit/allocated_size.h"

#include <optional>

#include "platform/foundation/file_manager.h"

namespace reelhaven {

foundation::Result<std::uint64_t> allocatedFileSize(const foundation::URL& url) {
    return foundation::FileManager::defaultManager().allocatedSize(url);
}

foundation::Result<std::uint64_t> allocatedSize(const foundation::URL& folder, SizeScope scope) {
    std::optional<foundation::Error> enumerationError;
    foundation::EnumerationOptions options;
    options.hiddenFiles = foundation::HiddenFiles::skip;
    options.skipsSubdirectoryDescendants = scope == SizeScope::topLevelOnly;
    auto items = foundation::FileManager::defaultManager().enumerate(
        folder, options, [&](const foundation::URL&, const foundation::Error& error) {
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

}  // namespace reelhaven
