#include "app/launcher_options.h"

#include <charconv>

#include "app/host_command.h"

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
// "390x844": a screen in points.
std::optional<std::pair<double, double>> parseSize(const std::string& text) {
    const auto x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    int width = 0;
    int height = 0;
    const char* begin = text.data();
    auto [widthEnd, widthError] = std::from_chars(begin, begin + x, width);
    auto [heightEnd, heightError] = std::from_chars(begin + x + 1, begin + text.size(), height);
    if (widthError != std::errc() || heightError != std::errc() || widthEnd != begin + x ||
        heightEnd != begin + text.size() || width < 100 || height < 100 || width > 10000 || height > 10000)
        return std::nullopt;
    return std::pair<double, double>(width, height);
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
    bool hostOptions = false;  // an option only the host takes
    auto setMode = [&](LauncherOptions::Mode wanted, const std::string& flag) -> std::optional<LauncherError> {
        if (mode && *mode != wanted)
            return LauncherError{"choose one of --list, --play and --help, not " + flag + " as well"};
        mode = wanted;
        return std::nullopt;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) return std::nullopt;
            return arguments[++i];
        };
        if (argument == "--help" || argument == "-h") {
            if (auto error = setMode(LauncherOptions::Mode::help, argument)) return *error;
        } else if (argument == "--list") {
            if (auto error = setMode(LauncherOptions::Mode::list, argument)) return *error;
        } else if (argument == "--transfer") {
            options.transfer = hostOptions = true;
        } else if (argument == "--play") {
            if (auto error = setMode(LauncherOptions::Mode::play, argument)) return *error;
            auto path = value();
            if (!path || path->empty()) return LauncherError{"--play needs a file or a URL"};
            options.playPath = *path;
        } else if (argument == "--seconds") {
            auto text = value();
            auto seconds = text ? parseSeconds(*text) : std::nullopt;
            if (!seconds) return LauncherError{"--seconds needs a number of seconds, 0 or more"};
            options.seconds = seconds;
        } else if (argument == "--audio-output") {
            auto name = value();
            if (!name || name->empty())
                return LauncherError{"--audio-output needs an output name (\"null\": no sound)"};
            options.audioOutput = *name;
        } else if (argument == "--frame-out") {
            auto file = value();
            if (!file || file->empty()) return LauncherError{"--frame-out needs a PNG file"};
            options.frameOut = *file;
        } else if (argument == "--display") {
            options.display = true;
        } else if (argument == "--screenshot") {
            auto file = value();
            if (!file || file->empty()) return LauncherError{"--screenshot needs a PNG file"};
            options.screenshot = *file;
            options.display = true;
        } else if (argument == "--home") {
            auto folder = value();
            if (!folder || folder->empty()) return LauncherError{"--home needs a folder"};
            options.home = *folder;
        } else if (argument == "--port") {
            auto text = value();
            if (!text) return LauncherError{"--port needs a number from 0 to 65535"};
            auto port = parsePort(*text);
            if (!port) return LauncherError{"--port needs a number from 0 to 65535, not \"" + *text + "\""};
            options.port = port;
        } else if (argument == "--script") {
            auto file = value();
            if (!file || file->empty()) return LauncherError{"--script needs a file of commands"};
            options.script = *file;
            hostOptions = true;
        } else if (argument == "--device") {
            auto device = value();
            if (device == "phone") {
                options.device = LauncherOptions::Device::phone;
            } else if (device == "pad") {
                options.device = LauncherOptions::Device::pad;
            } else {
                return LauncherError{"--device needs phone or pad"};
            }
            hostOptions = true;
        } else if (argument == "--layout-direction") {
            auto direction = value();
            if (direction == "ltr") {
                options.layoutDirection = LauncherOptions::LayoutDirection::leftToRight;
            } else if (direction == "rtl") {
                options.layoutDirection = LauncherOptions::LayoutDirection::rightToLeft;
            } else {
                return LauncherError{"--layout-direction needs ltr or rtl"};
            }
            hostOptions = true;
        } else if (argument == "--size") {
            auto text = value();
            auto size = text ? parseSize(*text) : std::nullopt;
            if (!size) return LauncherError{"--size needs WIDTHxHEIGHT in points, each from 100 to 10000 (390x844)"};
            options.size = size;
            hostOptions = true;
        } else if (argument == "--open" || argument == "--import") {
            auto target = value();
            if (!target || target->empty())
                return LauncherError{argument + " needs a file" + (argument == "--open" ? " or a URL" : "")};
            (argument == "--open" ? options.open : options.imports).push_back(*target);
            hostOptions = true;
        } else if (argument == "--no-restore") {
            options.restore = false;
            hostOptions = true;
        } else {
            return LauncherError{"unknown option \"" + argument + "\" (see --help)"};
        }
    }
    options.mode = mode.value_or(LauncherOptions::Mode::host);
    if (hostOptions && options.mode != LauncherOptions::Mode::host) {
        return LauncherError{
            "--transfer, --script, --device, --size, --layout-direction, --open, --import and --no-restore apply only "
            "when the app runs, not with --list, --play or --help"};
    }
    if (options.port && !options.transfer) return LauncherError{"--port applies only to --transfer"};
    if ((options.seconds || !options.frameOut.empty()) && options.mode != LauncherOptions::Mode::play) {
        return LauncherError{"--seconds and --frame-out apply only to --play"};
    }
    if (!options.audioOutput.empty() && options.mode != LauncherOptions::Mode::play &&
        options.mode != LauncherOptions::Mode::host) {
        return LauncherError{"--audio-output applies only to --play and when the app runs"};
    }
    if (options.home.empty() && options.mode != LauncherOptions::Mode::help) {
        auto home = defaultHome(environment);
        if (!home) return LauncherError{"no home folder: set HOME or XDG_DATA_HOME, or pass --home DIR"};
        options.home = *home;
    }
    if (options.display && options.mode != LauncherOptions::Mode::play && options.mode != LauncherOptions::Mode::host) {
        return LauncherError{"--display and --screenshot apply only to --play and when the app runs"};
    }
    if (!options.home.empty()) options.home = std::filesystem::absolute(options.home).lexically_normal();
    return options;
}

std::string launcherUsage() {
    return "Usage: reelhaven [--home DIR] [--transfer [--port N]] [--script FILE]\n"
           "                 [--device phone|pad] [--size WxH] [--layout-direction ltr|rtl]\n"
           "                 [--open PATH|URL]... [--import PATH]...\n"
           "                 [--no-restore] [--audio-output NAME] [--display] [--screenshot FILE.png]\n"
           "       reelhaven [--home DIR] --list\n"
           "       reelhaven [--home DIR] --play PATH [--seconds N] [--audio-output NAME]\n"
           "                 [--frame-out FILE.png] [--display] [--screenshot FILE.png]\n"
           "       reelhaven --help\n"
           "\n"
           "Reelhaven keeps a library of video files in the Documents folder of its container.\n"
           "Without --list, --play or --help it runs the app: it prints the screen as text and reads\n"
           "commands (from the terminal, or a script), acting as the user and as the system:\n"
           "\n" +
           std::string(HostCommand::usage()) +
           "\n"
           "Options:\n"
           "  --home DIR    the container folder (default: $XDG_DATA_HOME/reelhaven,\n"
           "                else ~/.local/share/reelhaven); created when missing\n"
           "  --transfer    switch the Wi-Fi transfer server on, as the library's import menu does;\n"
           "                without --script it serves past the end of standard input, until a signal\n"
           "  --port N      the transfer server's port (default 80, else a free one; 0 picks a free one)\n"
           "  --script FILE run the commands of FILE, printing the screen on each show; stops at\n"
           "                the first command that fails (exit status 1)\n"
           "  --device phone|pad  the device the app believes it runs on (default phone)\n"
           "  --size WxH    the screen in points (default 390x844 on a phone, 1024x1366 on a pad);\n"
           "                the size classes follow it (a regular width from 700 points on, a\n"
           "                compact height below 500)\n"
           "  --layout-direction ltr|rtl  the direction the interface reads in, as the device's\n"
           "                language gives it (default ltr)\n"
           "  --open PATH|URL  hand the app a file to play where it is, or a URL, as it starts\n"
           "  --import PATH    hand the app a copy of a file, which it moves into the library\n"
           "  --no-restore  do not bring back the player that was up when the app last stopped\n"
           "                (SIGINT, SIGTERM and SIGHUP save progress, then stop the app)\n"
           "  --list        list the library as the root grid shows it: kind, name, duration,\n"
           "                allocated size in bytes and thumbnail source, subtitles under their video\n"
           "                (in names \\\\, \\t, \\n, \\r and \\xHH stand for a backslash, a tab, a line\n"
           "                break, a carriage return and another control character)\n"
           "  --play PATH   play a file or an http, https or ftp URL on the player screen;\n"
           "                prints its tracks and chapters, the time once a second and how it\n"
           "                ended, and exits when it ends (0), cannot be played (1) or is\n"
           "                interrupted. Lines on standard input: left, right, shift-left,\n"
           "                shift-right (or the arrow keys), space, and screen (print the screen)\n"
           "  --seconds N   stop playing N seconds after the file has loaded\n"
           "  --audio-output NAME  mpv's audio output for the player, with --play or when the app\n"
           "                runs (default: the default device, or none when it cannot open;\n"
           "                \"null\" plays no sound)\n"
           "  --frame-out FILE.png  save the first frame drawn, upright\n"
           "  --display     show the app, or the video, in a window on the desktop (X11 or\n"
           "                Wayland)\n"
           "  --screenshot FILE.png  in that window, save the window's pixels once the screen\n"
           "                has settled (the cells' thumbnails, or a video frame, shown), then exit\n"
           "  --help        show this text\n";
}

}  // namespace reelhaven
