#include "app/play_watch.h"

#include <mpv/client.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <ostream>

#include "app/host_input.h"
#include "app/play_keys.h"
#include "app/play_screen.h"
#include "app/stop_signals.h"
#include "output/mpv_glk_view.h"
#include "platform/base/escaped_text.h"
#include "platform/dispatch/queue.h"
#include "platform/dispatch/run_loop.h"
#include "platform/dispatch/timer.h"
#include "platform/display/display_host.h"
#include "platform/graphics/png_codec.h"
#include "platform/ui/screen/text_screen.h"
#include "playback/mpv_session.h"
#include "playback/reelhaven_view_controller.h"

namespace reelhaven {

namespace {

// Runs `work` on the main run loop while the watch lives; from any thread.
template <typename Work>
void postToWatch(const std::weak_ptr<PlayWatch>& weak, Work work) {
    dispatch::RunLoop::main()->post([weak, work = std::move(work)]() mutable {
        if (auto watch = weak.lock()) work(*watch);
    });
}

}  // namespace

PlayWatch::PlayWatch(const LauncherOptions& options, PlayScreen& screen, std::ostream& out, std::ostream& err)
    : m_options(options), m_screen(screen), m_err(err), m_report(out), m_frameSaved(options.frameOut.empty()) {}

PlayWatch::~PlayWatch() { stop(); }

std::shared_ptr<PlayWatch> PlayWatch::start(const LauncherOptions& options, PlayScreen& screen, StopSignals& signals,
                                            std::ostream& out, std::ostream& err) {
    std::shared_ptr<PlayWatch> watch(new PlayWatch(options, screen, out, err));
    screen.view()->setKeepsLastFrame(!options.frameOut.empty());
    watch->watchSession();
    watch->watchFrames();
    std::weak_ptr<PlayWatch> weak = watch;
    // Typed lines are handled as they come: the reader thread wakes the main run loop for each.
    if (auto keys =
            StreamInput::start(STDIN_FILENO, [weak] { postToWatch(weak, [](PlayWatch& self) { self.readKeys(); }); }))
        watch->m_keys = std::move(keys.value());
    signals.start([weak](int signal) { postToWatch(weak, [signal](PlayWatch& self) { self.stopBySignal(signal); }); },
                  STDOUT_FILENO);
    watch->startClock();
    watch->armLoadDeadline();
    watch->takeScreenshot();
    return watch;
}

void PlayWatch::stop() {
    if (m_clock) m_clock->invalidate();
    m_keys.reset();
}

void PlayWatch::watchSession() {
    const auto session = m_screen.session();
    std::weak_ptr<PlayWatch> weak = weak_from_this();
    auto playerLoaded = session->onFileLoaded;
    session->onFileLoaded = [weak, playerLoaded](const PlaybackInfoPtr& loaded) {
        if (playerLoaded) playerLoaded(loaded);
        auto self = weak.lock();
        if (!self) return;
        self->armStop();
        self->m_report.loaded(*loaded);
    };
    auto playerRestarted = session->onPlaybackRestart;
    session->onPlaybackRestart = [weak, playerRestarted] {
        if (playerRestarted) playerRestarted();
        auto self = weak.lock();
        if (!self) return;
        self->m_restarted = true;
        if (!self->m_frameSaved) self->m_screen.view()->setKeepsLastFrame(true);
    };
    // The player acts on the end itself (it closes); the launcher then says how it ended and stops.
    auto playerEnded = session->onEndFile;
    session->onEndFile = [weak, playerEnded](EndFileAction action, EndFileEvent event) {
        if (playerEnded) playerEnded(action, event);
        auto self = weak.lock();
        if (!self || self->m_report.ended()) return;
        if (action == EndFileAction::closeUnfinished) {
            self->m_err << "reelhaven: cannot play " << base::escapedText(self->m_options.playPath) << ": "
                        << mpv_error_string(event.error) << std::endl;
            self->end("error", 1);
        } else if (action == EndFileAction::closeFinished || action == EndFileAction::playNext) {
            self->end("eof", 0);
        }
    };
}

void PlayWatch::watchFrames() {
    // The first frame drawn after playback started: handed from the render queue to the main one.
    m_screen.view()->onFrameDisplayed = [weak = weak_from_this()](const gfx::Image& frame) {
        if (frame.isEmpty()) return;
        postToWatch(weak, [frame](PlayWatch& self) { self.saveFrame(frame); });
    };
}

void PlayWatch::saveFrame(const gfx::Image& frame) {
    if (m_frameSaved || !m_restarted) return;
    m_frameSaved = true;
    auto png = gfx::PngCodec::encode(frame);
    std::ofstream file(m_options.frameOut, std::ios::binary);
    if (!png || !(file << *png)) {
        m_err << "reelhaven: cannot write the frame to " << base::escapedText(m_options.frameOut) << std::endl;
        return end("error", 1);
    }
    m_report.frame(m_options.frameOut);
    if (m_stopDue) end(afterSeconds(), 0);
}

void PlayWatch::armStop() {
    if (!m_options.seconds || std::exchange(m_stopArmed, true)) return;
    dispatch::Queue::main()->asyncAfter(*m_options.seconds, [weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self) return;
        if (self->m_frameSaved) return self->end(self->afterSeconds(), 0);
        self->m_stopDue = true;
        dispatch::Queue::main()->asyncAfter(kFramePatience, [weak] {
            if (auto self = weak.lock()) self->end(self->afterSeconds(), 0);
        });
    });
}

void PlayWatch::armLoadDeadline() {
    if (!m_options.seconds) return;
    const double patience = std::max(*m_options.seconds, kLoadPatience);
    dispatch::Queue::main()->asyncAfter(patience, [weak = weak_from_this(), patience] {
        auto self = weak.lock();
        if (!self || self->m_stopArmed) return;
        // Nothing played: that is a failure, whatever time was asked for.
        self->m_err << "reelhaven: cannot play " << base::escapedText(self->m_options.playPath)
                    << ": it did not load within " << MPVSession::decimal(patience) << " s" << std::endl;
        self->end("error", 1);
    });
}

std::string PlayWatch::afterSeconds() const {
    return m_options.seconds ? "after " + MPVSession::decimal(*m_options.seconds) + " s" : "";
}

// Lines typed on standard input: arrow keys and the space bar for the player, "screen" to print it.
void PlayWatch::readKeys() {
    if (!m_keys) return;
    while (auto line = m_keys->next()) {
        auto input = parsePlayInput(*line);
        if (!input) {
            m_err << "reelhaven: type left, right, shift-left, shift-right, space or screen" << std::endl;
            continue;
        }
        if (!input->presses.empty()) ui::Responder::deliverPresses(input->presses, m_screen.player());
        if (input->printScreen) m_report.screen(ui::TextScreen::capture(m_screen.window()).text());
    }
}

void PlayWatch::startClock() {
    m_clock = dispatch::Timer::scheduledTimer(1.0, true, [weak = weak_from_this()](dispatch::Timer&) {
        auto self = weak.lock();
        if (!self) return;
        // What mpv last reported: the main thread does not wait for mpv's core.
        if (auto position = self->m_screen.session()->observed().position) self->m_report.time(*position);
    });
}

void PlayWatch::takeScreenshot() {
    auto* host = m_screen.host();
    if (!host || m_options.screenshot.empty()) return;
    std::weak_ptr<PlayWatch> weak = weak_from_this();
    host->screenshotWhenSettled(
        m_options.screenshot,
        [weak] {
            auto self = weak.lock();
            return self && self->m_restarted;
        },
        [weak](foundation::Status status) {
            auto self = weak.lock();
            if (!self) return;
            if (!status) {
                self->m_err << "reelhaven: " << status.error().description << std::endl;
                return self->end("error", 1);
            }
            self->m_report.screenshot(self->m_options.screenshot);
            self->m_screenshotTaken = true;
            self->end("screenshot", 0);
        });
}

void PlayWatch::stopBySignal(int signal) {
    // A closed output reads nothing more; its end and exit status say so to whoever waits for it.
    const char* how = signal == SIGINT ? "interrupted" : signal == SIGPIPE ? "output closed" : "terminated";
    end(how, 128 + signal);
}

// One end is told, the first that comes; what comes after it (the file's end reaching the main
// queue while the player closes) is not.
void PlayWatch::end(const std::string& how, int code) {
    if (!m_report.end(how)) return;
    m_exitCode = code;
    // On the next turn: what the end set off (the player closing) runs first.
    dispatch::Queue::main()->async([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->m_screen.close();
    });
}

int PlayWatch::exitStatus() const {
    if (m_exitCode != 0) return m_exitCode;
    if (!m_options.screenshot.empty() && !m_screenshotTaken) {
        m_err << "reelhaven: playback ended before the window settled; no screenshot was saved to "
              << base::escapedText(m_options.screenshot) << std::endl;
        return 1;
    }
    if (!m_frameSaved) {
        m_err << "reelhaven: no frame was drawn to save to " << base::escapedText(m_options.frameOut) << std::endl;
        return 1;
    }
    return 0;
}

}  // namespace reelhaven
