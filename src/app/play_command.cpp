#include "app/play_command.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "app/play_screen.h"
#include "app/play_watch.h"
#include "core/progress_client.h"
#include "platform/base/escaped_text.h"
#include "platform/dispatch/run_loop.h"

namespace reelhaven {

namespace {

std::optional<foundation::URL> playableURL(const std::string& path, std::string& problem) {
    if (auto url = foundation::URL::parse(path); url && (url->scheme() == "http" || url->scheme() == "https" ||
                                                         url->scheme() == "ftp" || url->scheme() == "file")) {
        return url;
    }
    std::error_code error;
    auto absolute = std::filesystem::absolute(path, error);
    if (error || !std::filesystem::is_regular_file(absolute, error)) {
        problem = "no such file";
        return std::nullopt;
    }
    return foundation::URL::fileURLWithPath(absolute.lexically_normal().string());
}

}  // namespace

int runPlayCommand(const LauncherOptions& options, StopSignals& signals) {
    return runPlayCommand(options, signals, std::cout, std::cerr);
}

int runPlayCommand(const LauncherOptions& options, StopSignals& signals, std::ostream& out, std::ostream& err) {
    std::string problem;
    auto url = playableURL(options.playPath, problem);
    if (!url) {
        // The path is escaped as the lines on standard output are: no path can forge a line.
        err << "reelhaven: cannot play " << base::escapedText(options.playPath) << ": " << problem << std::endl;
        return 1;
    }
    dispatch::RunLoop::main()->bindToCurrentThread();
    // The file is opened from outside the library: it gets no identity attribute.
    auto video = Video::create(*url, LibraryItemType::file, true);
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
