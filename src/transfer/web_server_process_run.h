#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace reelhaven {

// Names one run of a process as "<pid>.<start time>" (the start in clock ticks after boot), so a
// file a process leaves behind can be told from one of a later process with the same id: a
// container's first process always has id 1, and ids are reused.
class WebServerProcessRun {
public:
    enum class Owner { thisRun, otherLiveRun, ended };
    // A name that begins with a run: whose run it is, and what follows "<pid>.<start>-".
    struct Named {
        Owner owner;
        std::string_view rest;
    };

    // This process's run, "<pid>.<start time>".
    static const std::string& current();
    // The run named at the start of `name` ("<pid>.<start>-..."): this one, another that still
    // runs, or one that has ended. Nothing when `name` does not begin with a run: this program
    // did not make it, so no sweep may take it.
    static std::optional<Named> ownerOf(std::string_view name);
};

}  // namespace reelhaven
