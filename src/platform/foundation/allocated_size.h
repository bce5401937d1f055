#pragma once

#include <cstdint>

#include "platform/foundation/error.h"
#include "platform/foundation/url.h"

namespace foundation {

// Bytes the file system allocates for a regular file; 0 for anything else (folders, links,
// devices). Fails when the item cannot be examined.
Result<std::uint64_t> allocatedFileSize(const URL& url);

enum class SizeScope { wholeTree, topLevelOnly };

// The sum of allocatedFileSize over the visible items in a folder (hidden ones and everything
// inside hidden folders skipped), either the whole tree or only the items directly inside. The
// first item or sub-folder that cannot be read fails the whole sum.
Result<std::uint64_t> allocatedSize(const URL& folder, SizeScope scope);

}  // namespace foundation
