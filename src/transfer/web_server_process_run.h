#pragma once

#include <string>
#include <string_view>

namespace reelhaven {

// Names one run of a process as "<pid>.<start time>" (the start in clock ticks after boot), so a
// file a process leaves behind can be told from one of a later process with the same id: a
// container's first process always has id 1, and ids are reused.
class WebServerProcessRun {
public:
    enum class Owner { thisRun, otherLiveRun, ended };

    // This process's run, "<pid>.<start time>".
    static const std::string& current();
    // The run named at the start of `name` ("<pid>.<start>-..."): this one, another that still
    // runs, or one that has ended. The older form "<pid>-..." never names this run (it makes the
    // new form only) and names another live one while that id runs; a name without an id has ended.
    static Owner ownerOf(std::string_view name);
};

}  // namespace reelhaven
