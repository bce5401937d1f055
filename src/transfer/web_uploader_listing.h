#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "transfer/web_uploader_file_system.h"

namespace reelhaven {

// The JSON answer of GET /list: one object per entry in the order a file browser shows them,
// {"name", "path", "size"} for a file and {"name", "path"} (the path ending in "/") for a folder,
// names written as WebUploaderNames lists them, each path `prefix` joined with the name.
//
// Folders hold hundreds of thousands of entries: the answer is written straight into one string
// (no JSON tree, no per-entry objects), and the sort keys are gone before it is written, so a
// request in flight holds little more than the compact entries and the answer.
// `order` gives the entries' indexes in browsing order (WebUploaderListingOrder).
std::string WebUploaderListingJSON(const WebUploaderFileSystem::DirectoryContents& contents,
                                   const std::vector<std::size_t>& order, std::string_view prefix);

}  // namespace reelhaven
