#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace reelhaven {

// The hidden names under which a move across filesystems copies an item before renaming it into
// place: ".WebServer-<pid>.<start time>-<UUID>" in the destination folder. The process run tells a
// later sweep whether the move that made a name can still finish, also when a restarted process
// got the same id.
class WebUploaderStaging {
public:
    static constexpr std::string_view kPrefix = ".WebServer-";

    // A new staging name (without folder) for this process.
    static std::string newName();
    // Removes, in `root` and every folder below it, what moves of processes that no longer run
    // left staged (a kill during the copy leaves it for ever otherwise). Only names of exactly the
    // form `newName` makes are taken. Symbolic links are not followed. Returns how many items went.
    static std::size_t removeStale(const std::string& root);
};

}  // namespace reelhaven
