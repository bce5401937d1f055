#pragma once

#include <cstdint>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace reelhaven {

// Bytes the file system allocates for a regular file; 0 for anything else (folders, links,
// devices). Fails when the item cannot be examined.
foundation::Result<std::uint64_t> allocatedFileSize(const foundation::URL& url);

enum class SizeScope { wholeTree, topLevelOnly };

// The sum of allocatedFileSize over the visible items in a folder (hidden ones and everything
// inside hidden folders skipped), either the whole tree or only the items directly inside. The
// first item or sub-folder that cannot be read fails the whole sum.
foundation::Result<std::uint64_t> allocatedSize(const foundation::URL& folder, SizeScope scope);

}  // namespace reelhaven
