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
    // `host` runs the application; the others are one-shot commands.
    enum class Mode { host, help, list, play };
    enum class Device { phone, pad };

    Mode mode = Mode::host;
    std::filesystem::path home;                     // the container folder
    bool transfer = false;                          // --transfer: the host switches the server on
    std::optional<int> port;                        // --port, for --transfer
    std::filesystem::path script;                   // --script: commands from a file instead of the terminal
    Device device = Device::phone;                  // --device
    std::optional<std::pair<double, double>> size;  // --size WxH: the screen in points
    std::vector<std::string> open;                  // --open: paths (opened in place) and URLs
    std::vector<std::string> imports;               // --import: files handed over as copies
    bool restore = true;                            // --no-restore: forget the saved player
    std::string playPath;                           // --play: a file path or an http, https or ftp URL
    std::optional<double> seconds;                  // --seconds, for --play
    std::string audioOutput;                        // --audio-output: mpv's output name for the player
    std::string frameOut;                           // --frame-out, for --play: a PNG file
    bool display = false;                           // --display: in a window on the desktop
    std::string screenshot;                         // --screenshot: a PNG of the settled window, then exit
};

struct LauncherError {
    std::string message;
};

// Reads `reelhaven [--home DIR] [host options] [--audio-output NAME] | --list | --play PATH [--seconds N]
// [--audio-output NAME] [--frame-out FILE.png] | --help` (see `launcherUsage`). `environment`
// looks up variables (XDG_DATA_HOME, HOME) for the default home folder.
std::variant<LauncherOptions, LauncherError> parseLauncherOptions(
    const std::vector<std::string>& arguments,
    const std::function<std::optional<std::string>(const char*)>& environment);

// The default container: $XDG_DATA_HOME/reelhaven, else ~/.local/share/reelhaven.
std::optional<std::filesystem::path> defaultHome(
    const std::function<std::optional<std::string>(const char*)>& environment);

std::string launcherUsage();

}  // namespace reelhaven
