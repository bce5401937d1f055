#pragma once

#include <iosfwd>

#include "app/launcher_options.h"

namespace reelhaven {

// `reelhaven --list`: lists the Documents folder of the installed container into the root
// library manager, runs its metadata pass (a progress line on standard error while thumbnails
// and durations are made), then prints the library as the root grid shows it, one item a line
// in the library's order: kind, display name, duration, size in bytes and thumbnail source,
// separated by tabs, with the subtitles of each video on indented lines below it. In names a
// backslash, tab, line feed and carriage return are written \\, \t, \n and \r, other control
// characters \xHH, so every item is one line of five fields.
int runListCommand(const LauncherOptions& options);

// How the pass's progress is shown: redrawn on one line for a terminal, else once at the end.
enum class ProgressStyle { redrawn, finalLine };
int runListCommand(const LauncherOptions& options, std::ostream& out, std::ostream& err, ProgressStyle style);

}  // namespace reelhaven
