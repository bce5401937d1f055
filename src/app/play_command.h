#pragma once

#include <iosfwd>

#include "app/launcher_options.h"

namespace reelhaven {

class StopSignals;

// `reelhaven --play PATH`: plays a file (or an http, https or ftp URL) on the player screen,
// presented over an empty root screen in a 640x360 window; the video is drawn offscreen (or in a
// desktop window with --display). Lines on standard input press the player's keys (arrows,
// Shift+arrows, space) or print the screen as text ("screen"). Prints the loaded tracks
// and chapters, the position once a second and how playback ended, then exits:
// 0 when the file played to its end or `--seconds` ran out, 1 with a message when it cannot be
// played, 128 + the signal's number on SIGINT, SIGTERM or SIGHUP, and 141 (SIGPIPE's) when its
// standard output closes; the progress is saved in every case. `--frame-out FILE.png` saves the
// first frame drawn after playback started, upright.
//
// Its phases: the screen opens (play_screen), the watch reports what loads and plays and waits
// for the end (play_watch, play_report), then the screen closes, saving the progress.
// Once the progress is written to its file (and the window's statistics, for benchmarks), it
// flushes the output and ends the process with the exit status: mpv's teardown and the window's
// are left to the system, which ends both with the process. Nothing needs them any more, and they
// were most of the time a stop took. It returns only when the file cannot be played.
int runPlayCommand(const LauncherOptions& options, StopSignals& signals);
int runPlayCommand(const LauncherOptions& options, StopSignals& signals, std::ostream& out, std::ostream& err);

}  // namespace reelhaven
