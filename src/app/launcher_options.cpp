#include "app/launcher_options.h"

#include <charconv>

namespace reelhaven {

namespace {
std::optional<int> parsePort(const std::string& text) {
    int value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 65535) return std::nullopt;
    return value;
}

std::optional<double> parseSeconds(const std::string& text) {
    double value = -1;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !(value >= 0) || value > 1e9) return std::nullopt;
    return value;
}
}  // namespace

std::optional<std::filesystem::path> defaultHome(
    const std::function<std::optional<std::string>(const char*)>& environment) {
    if (auto xdg = environment("XDG_DATA_HOME"); xdg && !xdg->empty() && xdg->front() == '/') {
        return std::filesystem::path(*xdg) / "reelhaven";
    }
    if (auto home = environment("HOME"); home && !home->empty()) {
        return std::filesystem::path(*home) / ".local" / "share" / "reelhaven";
    }
    return std::nullopt;
}

std::variant<LauncherOptions, LauncherError> parseLauncherOptions(
    const std::vector<std::string>& arguments,
    const std::function<std::optional<std::string>(const char*)>& environment) {
    LauncherOptions options;
    std::optional<LauncherOptions::Mode> mode;
    auto setMode = [&](LauncherOptions::Mode wanted, const std::string& flag) -> std::optional<LauncherError> {
        if (mode && *mode != wanted)
            return LauncherError{"choose one of --list, --transfer, --play and --help, not " + flag + " as well"};
        mode = wanted;
        return std::nullopt;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](const char* flag) -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) return std::nullopt;
            (void)flag;
            return arguments[++i];
        };
        if (argument == "--help" || argument == "-h") {
            if (auto error = setMode(LauncherOptions::Mode::help, argument)) return *error;
        } else if (argument == "--list") {
            if (auto error = setMode(LauncherOptions::Mode::list, argument)) return *error;
        } else if (argument == "--transfer") {
            if (auto error = setMode(LauncherOptions::Mode::transfer, argument)) return *error;
        } else if (argument == "--play") {
            if (auto error = setMode(LauncherOptions::Mode::play, argument)) return *error;
            auto path = value("--play");
            if (!path || path->empty()) return LauncherError{"--play needs a file or a URL"};
            options.playPath = *path;
        } else if (argument == "--seconds") {
            auto text = value("--seconds");
            auto seconds = text ? parseSeconds(*text) : std::nullopt;
            if (!seconds) return LauncherError{"--seconds needs a number of seconds, 0 or more"};
            options.seconds = seconds;
        } else if (argument == "--audio-output") {
            auto name = value("--audio-output");
            if (!name || name->empty())
                return LauncherError{"--audio-output needs an output name (\"null\": no sound)"};
            options.audioOutput = *name;
        } else if (argument == "--frame-out") {
            auto file = value("--frame-out");
            if (!file || file->empty()) return LauncherError{"--frame-out needs a PNG file"};
            options.frameOut = *file;
        } else if (argument == "--display") {
            options.display = true;
        } else if (argument == "--screenshot") {
            auto file = value("--screenshot");
            if (!file || file->empty()) return LauncherError{"--screenshot needs a PNG file"};
            options.screenshot = *file;
            options.display = true;
        } else if (argument == "--home") {
            auto folder = value("--home");
            if (!folder || folder->empty()) return LauncherError{"--home needs a folder"};
            options.home = *folder;
        } else if (argument == "--port") {
            auto text = value("--port");
            if (!text) return LauncherError{"--port needs a number from 0 to 65535"};
            auto port = parsePort(*text);
            if (!port) return LauncherError{"--port needs a number from 0 to 65535, not \"" + *text + "\""};
            options.port = port;
        } else {
            return LauncherError{"unknown option \"" + argument + "\" (see --help)"};
        }
    }
    options.mode = mode.value_or(LauncherOptions::Mode::help);
    if (options.port && options.mode != LauncherOptions::Mode::transfer) {
        return LauncherError{"--port applies only to --transfer"};
    }
    if ((options.seconds || !options.audioOutput.empty() || !options.frameOut.empty()) &&
        options.mode != LauncherOptions::Mode::play) {
        return LauncherError{"--seconds, --audio-output and --frame-out apply only to --play"};
    }
    if (options.home.empty() && options.mode != LauncherOptions::Mode::help) {
        auto home = defaultHome(environment);
        if (!home) return LauncherError{"no home folder: set HOME or XDG_DATA_HOME, or pass --home DIR"};
        options.home = *home;
    }
    if (options.display && options.mode != LauncherOptions::Mode::play) {
        return LauncherError{"--display and --screenshot apply only to --play"};
    }
    if (!options.home.empty()) options.home = std::filesystem::absolute(options.home).lexically_normal();
    return options;
}

std::string launcherUsage() {
    return "Usage: reelhaven [--home DIR] --list\n"
           "       reelhaven [--home DIR] --transfer [--port N]\n"
           "       reelhaven [--home DIR] --play PATH [--seconds N] [--audio-output NAME]\n"
           "                 [--frame-out FILE.png] [--display] [--screenshot FILE.png]\n"
           "       reelhaven --help\n"
           "\n"
           "Reelhaven keeps a library of video files in the Documents folder of its container.\n"
           "\n"
           "Options:\n"
           "  --home DIR    the container folder (default: $XDG_DATA_HOME/reelhaven,\n"
           "                else ~/.local/share/reelhaven); created when missing\n"
           "  --list        list the library as the root grid shows it: kind, name, duration,\n"
           "                allocated size in bytes and thumbnail source, subtitles under their video\n"
           "  --transfer    run the Wi-Fi transfer server over the Documents folder until\n"
           "                interrupted (SIGINT or SIGTERM)\n"
           "  --port N      the transfer server's port (default 80; 0 picks a free port)\n"
           "  --play PATH   play a file or an http, https or ftp URL on the player screen;\n"
           "                prints its tracks and chapters, the time once a second and how it\n"
           "                ended, and exits when it ends (0), cannot be played (1) or is\n"
           "                interrupted. Lines on standard input: left, right, shift-left,\n"
           "                shift-right (or the arrow keys), space, and screen (print the screen)\n"
           "  --seconds N   stop playing after N seconds\n"
           "  --audio-output NAME  mpv's audio output (default: the default device;\n"
           "                \"null\" plays no sound)\n"
           "  --frame-out FILE.png  save the first frame drawn, upright\n"
           "  --display     show the video in a window on the desktop (X11 or Wayland)\n"
           "  --screenshot FILE.png  in that window, save the window's pixels once the screen\n"
           "                has settled (a video frame shown), then exit\n"
           "  --help        show this text\n";
}

}  // namespace reelhaven
