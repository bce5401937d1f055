#pragma once

#include <iosfwd>

#include "app/launcher_options.h"

namespace reelhaven {

// `reelhaven --play PATH`: plays a file (or an http, https or ftp URL) on the player screen,
// presented over an empty root screen in a 640x360 window; the video is drawn offscreen (or in a
// desktop window with --display). Lines on standard input press the player's keys (arrows,
// Shift+arrows, space) or print the screen as text ("screen"). Prints the loaded tracks
// and chapters, the position once a second and how playback ended, then exits:
// 0 when the file played to its end or `--seconds` ran out, 1 with a message when it cannot be
// played, 128 + the signal's number on SIGINT, SIGTERM or SIGHUP. `--frame-out FILE.png` saves the
// first frame drawn after playback started, upright.
int runPlayCommand(const LauncherOptions& options);
int runPlayCommand(const LauncherOptions& options, std::ostream& out, std::ostream& err);

}  // namespace reelhaven
