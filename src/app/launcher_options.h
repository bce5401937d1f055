#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace reelhaven {

// What the command line asked the launcher to do.
struct LauncherOptions {
    enum class Mode { help, list, transfer, play };

    Mode mode = Mode::help;
    std::filesystem::path home;     // the container folder
    std::optional<int> port;        // --port, for --transfer
    std::string playPath;           // --play: a file path or an http, https or ftp URL
    std::optional<double> seconds;  // --seconds, for --play
    std::string audioOutput;        // --audio-output, for --play: mpv's output name
    std::string frameOut;           // --frame-out, for --play: a PNG file
    bool display = false;           // --display: in a window on the desktop
    std::string screenshot;         // --screenshot: a PNG of the settled window, then exit
};

struct LauncherError {
    std::string message;
};

// Reads `reelhaven [--home DIR] (--list | --transfer [--port N] | --play PATH [--seconds N]
// [--audio-output NAME] [--frame-out FILE.png] | --help)`. `environment` looks up
// variables (XDG_DATA_HOME, HOME) for the default home folder.
std::variant<LauncherOptions, LauncherError> parseLauncherOptions(
    const std::vector<std::string>& arguments,
    const std::function<std::optional<std::string>(const char*)>& environment);

// The default container: $XDG_DATA_HOME/reelhaven, else ~/.local/share/reelhaven.
std::optional<std::filesystem::path> defaultHome(
    const std::function<std::optional<std::string>(const char*)>& environment);

std::string launcherUsage();

}  // namespace reelhaven
