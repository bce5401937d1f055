#include "app/play_command.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/local_file.h"
#include "app/play_screen.h"
#include "app/play_watch.h"
#include "core/progress_client.h"
#include "platform/dispatch/run_loop.h"

namespace reelhaven {

namespace {

// A network URL, or a local file (a path or a "file:" URL) that can be read to its end: a pipe
// or a device would hold the player forever, and a folder is no video.
foundation::Result<foundation::URL> playableURL(const std::string& path) {
    if (auto url = foundation::URL::parse(path);
        url && (url->scheme() == "http" || url->scheme() == "https" || url->scheme() == "ftp")) {
        return *url;
    }
    return localFileURL(path, "play");
}

}  // namespace

int runPlayCommand(const LauncherOptions& options, StopSignals& signals) {
    return runPlayCommand(options, signals, std::cout, std::cerr);
}

int runPlayCommand(const LauncherOptions& options, StopSignals& signals, std::ostream& out, std::ostream& err) {
    auto url = playableURL(options.playPath);
    if (!url) {
        // The path is escaped as the lines on standard output are: no path can forge a line.
        err << "reelhaven: " << url.error().description << std::endl;
        return 1;
    }
    dispatch::RunLoop::main()->bindToCurrentThread();
    // The file is opened from outside the library: it gets no identity attribute. The user named
    // it on the command line, so it may reach any protocol or format (an RTSP camera, an SDP).
    auto video = Video::opened(url.value(), MediaOrigin::chosenByUser);
    auto info = PlaybackInfo::create(ProgressClient::create(), nullptr, video, false, true, std::nullopt);
    auto screen = PlayScreen::open(options, info);
    if (!screen) {
        err << "reelhaven: " << screen.error().description << std::endl;
        return 1;
    }
    auto watch = PlayWatch::start(options, *screen.value(), signals, out, err);
    screen.value()->run();
    watch->stop();
    screen.value()->finishClosing();
    screen.value()->waitForProgressSaves();
    const int status = watch->exitStatus();
    screen.value()->writeWindowStatistics();
    out.flush();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}

}  // namespace reelhaven
