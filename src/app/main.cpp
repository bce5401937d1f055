#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>

#include "app/app_host.h"
#include "app/container_setup.h"
#include "app/launcher_options.h"
#include "app/list_command.h"
#include "app/machine_outputs.h"
#include "app/play_command.h"
#include "app/process_memory.h"
#include "app/standard_streams.h"
#include "app/stop_signals.h"
#include "core/media_helper_pool.h"
#include "platform/base/startup_marks.h"
#include "playback/mpv_session.h"

using namespace reelhaven;

int main(int argc, char** argv) {
    // Started again as a media helper, the executable reads files for the app and nothing else.
    if (const int status = mediaHelperMain(argc, argv); status >= 0) return status;
    base::startupMark("main");
    holdStandardStreamsOpen();
    tuneAllocatorForDecodingThreads();
    std::vector<std::string> arguments(argv + 1, argv + argc);
    auto parsed = parseLauncherOptions(arguments, [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value ? std::optional<std::string>(value) : std::nullopt;
    });
    if (auto* error = std::get_if<LauncherError>(&parsed)) {
        std::cerr << "reelhaven: " << error->message << "\n";
        return 2;
    }
    const auto& options = std::get<LauncherOptions>(parsed);
    if (options.mode == LauncherOptions::Mode::help) {
        std::cout << launcherUsage();
        return 0;
    }
    // Before anything that may need saving: a stop asked for from here on waits until the app can
    // save. A listing has nothing to save and stops as any command-line tool does.
    std::optional<StopSignals> signals;
    if (options.mode == LauncherOptions::Mode::host || options.mode == LauncherOptions::Mode::play) signals.emplace();
    auto installed = installContainer(options.home);
    if (auto* error = std::get_if<std::string>(&installed)) {
        std::cerr << "reelhaven: " << *error << "\n";
        return 1;
    }
    if (options.mode == LauncherOptions::Mode::host || options.mode == LauncherOptions::Mode::play) {
        // The players use the outputs this machine has, rather than probe for all of them aloud;
        // a listing plays nothing and skips the probe (it maps the NVIDIA driver when present).
        const auto outputs = MachineOutputs::detect(MachineOutputs::systemProbe());
        MPVSession::setMachineDefaults({outputs.audioOutput, outputs.hwdec, outputs.hwdecInterop});
    }
    switch (options.mode) {
        case LauncherOptions::Mode::help: break;
        case LauncherOptions::Mode::host: return AppHost::run(options, *signals);
        case LauncherOptions::Mode::list: return runListCommand(options);
        case LauncherOptions::Mode::play: return runPlayCommand(options, *signals);
    }
    return 0;
}
