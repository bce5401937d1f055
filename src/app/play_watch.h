#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "app/launcher_options.h"
#include "app/play_report.h"

namespace dispatch {
class Timer;
}
namespace gfx {
class Image;
}

namespace reelhaven {

class PlayScreen;
class StopSignals;
class StreamInput;

// `reelhaven --play` while the file plays: it reports what the player loaded and the time once a
// second, saves the first frame (--frame-out) and the window's pixels (--screenshot), presses the
// keys typed on standard input as they arrive, and ends the run at the first of: the file's end
// or failure, `--seconds` after the load (or without one, see `armLoadDeadline`), a stop signal or
// the output closing, the screenshot.
// The end closes the screen, which stops the main run loop once the player is gone; `exitStatus`
// then says how the run went. Main thread; what
// comes from other threads (signals, typed lines, drawn frames) is posted to the main run loop
// and dropped once the watch is gone.
class PlayWatch : public std::enable_shared_from_this<PlayWatch> {
public:
    // `options` and `screen` must outlive the watch; what other threads hold of it is weak.
    static std::shared_ptr<PlayWatch> start(const LauncherOptions& options, PlayScreen& screen, StopSignals& signals,
                                            std::ostream& out, std::ostream& err);
    ~PlayWatch();

    // Once the screen has closed: 0 when it ended as asked, else the code of the end, or 1 when
    // a frame or screenshot asked for was never saved.
    int exitStatus() const;
    // Stops reading keys and printing the time.
    void stop();

private:
    PlayWatch(const LauncherOptions& options, PlayScreen& screen, std::ostream& out, std::ostream& err);

    void watchSession();
    void watchFrames();
    void readKeys();
    void startClock();
    void takeScreenshot();
    void stopBySignal(int signal);

    // The playing time counts from the load, so a slow start (a busy machine, a network file)
    // still plays for the time asked. With --frame-out the end waits for the first frame as well
    // (a large picture may come late), for a while.
    void armStop();
    // A load that never comes (an SDP text's player waits for RTP packets for ever) ends the run
    // all the same, as a file that cannot be played, `--seconds` after the start, or
    // `kLoadPatience` when that is longer: a slow start on a busy machine still gets its load and
    // then plays for the time asked.
    void armLoadDeadline();
    void saveFrame(const gfx::Image& frame);
    std::string afterSeconds() const;
    void end(const std::string& how, int code);

    // How long the end waits past --seconds for a first frame still to come.
    static constexpr double kFramePatience = 30;
    static constexpr double kLoadPatience = 10;

    const LauncherOptions& m_options;
    PlayScreen& m_screen;
    std::ostream& m_err;
    PlayReport m_report;
    int m_exitCode = 0;
    bool m_restarted = false;
    bool m_frameSaved = false;
    bool m_stopArmed = false;
    bool m_stopDue = false;
    bool m_screenshotTaken = false;
    std::unique_ptr<StreamInput> m_keys;
    std::shared_ptr<dispatch::Timer> m_clock;
};

}  // namespace reelhaven
