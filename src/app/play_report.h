#pragma once

#include <iosfwd>
#include <string>

#include "playback/model/playback_info.h"

namespace reelhaven {

// The lines `reelhaven --play` prints on standard output, one fact a line, fields separated by
// tabs: "loaded TITLE", "track TYPE ID TITLE", "chapter INDEX START TITLE", "time POSITION",
// "frame PATH", "screenshot PATH" and one "end HOW". Titles and paths come from files and their
// makers, so they are escaped as `--list` escapes names: a line break in a name cannot forge a
// line. Nothing is printed after the end: what still arrives while the player closes is not told.
// Main thread.
class PlayReport {
public:
    explicit PlayReport(std::ostream& out) : m_out(out) {}

    // The loaded file: its title, then its tracks and chapters.
    void loaded(const PlaybackInfo& info);
    void time(double position);
    void frame(const std::string& path);
    void screenshot(const std::string& path);
    // The screen printed as text, as asked by a typed "screen".
    void screen(const std::string& text);
    // The first end is printed and true; any later one is dropped (false).
    bool end(const std::string& how);
    bool ended() const { return m_ended; }

private:
    std::ostream& m_out;
    bool m_ended = false;
};

}  // namespace reelhaven
