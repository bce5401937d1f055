#include "app/launcher_option_table.h"
#include "platform/base/escaped_text.h"
#include "platform/base/parsed_number.h"

#include <array>

namespace reelhaven {

namespace {

using Mode = LauncherOptions::Mode;
constexpr LauncherModes kHost = modeBit(Mode::host);
constexpr LauncherModes kPlay = modeBit(Mode::play);
constexpr LauncherModes kAll = modeBit(Mode::host) | modeBit(Mode::help) | modeBit(Mode::list) | modeBit(Mode::play);

using Error = std::optional<std::string>;

std::optional<int> parsePort(const std::string& text) { return base::parsedNumber<int>(text, 0, 65535); }

std::optional<double> parseSeconds(const std::string& text) { return base::parsedNumber<double>(text, 0, 1e9); }

// "390x844": a screen in points.
std::optional<std::pair<double, double>> parseSize(const std::string& text) {
    const auto x = text.find('x');
    if (x == std::string::npos) return std::nullopt;
    const std::string_view whole(text);
    const auto width = base::parsedNumber<int>(whole.substr(0, x), 100, 10000);
    const auto height = base::parsedNumber<int>(whole.substr(x + 1), 100, 10000);
    if (!width || !height) return std::nullopt;
    return std::pair<double, double>(*width, *height);
}

bool missing(const std::string* argument) { return !argument || argument->empty(); }

Error none(LauncherOptions&, const std::string*) { return std::nullopt; }

Error readHome(LauncherOptions& options, const std::string* folder) {
    if (missing(folder)) return "--home needs a folder";
    options.home = *folder;
    return std::nullopt;
}

Error readTransfer(LauncherOptions& options, const std::string*) {
    options.transfer = true;
    return std::nullopt;
}

Error readPort(LauncherOptions& options, const std::string* text) {
    if (!text) return "--port needs a number from 0 to 65535";
    options.port = parsePort(*text);
    if (!options.port)
        return "--port needs a number from 0 to 65535, not \"" + base::escapedText(*text, base::QuoteEscape::escape) +
               "\"";
    return std::nullopt;
}

Error readScript(LauncherOptions& options, const std::string* file) {
    if (missing(file)) return "--script needs a file of commands";
    options.script = *file;
    return std::nullopt;
}

Error readDevice(LauncherOptions& options, const std::string* device) {
    if (device && *device == "phone") {
        options.device = LauncherOptions::Device::phone;
    } else if (device && *device == "pad") {
        options.device = LauncherOptions::Device::pad;
    } else {
        return "--device needs phone or pad";
    }
    return std::nullopt;
}

Error readSize(LauncherOptions& options, const std::string* text) {
    options.size = text ? parseSize(*text) : std::nullopt;
    if (!options.size) return "--size needs WIDTHxHEIGHT in points, each from 100 to 10000 (390x844)";
    return std::nullopt;
}

Error readLayoutDirection(LauncherOptions& options, const std::string* direction) {
    if (direction && *direction == "ltr") {
        options.layoutDirection = LauncherOptions::LayoutDirection::leftToRight;
    } else if (direction && *direction == "rtl") {
        options.layoutDirection = LauncherOptions::LayoutDirection::rightToLeft;
    } else {
        return "--layout-direction needs ltr or rtl";
    }
    return std::nullopt;
}

Error readOpen(LauncherOptions& options, const std::string* target) {
    if (missing(target)) return "--open needs a file or a URL";
    options.open.push_back(*target);
    return std::nullopt;
}

Error readImport(LauncherOptions& options, const std::string* file) {
    if (missing(file)) return "--import needs a file";
    options.imports.push_back(*file);
    return std::nullopt;
}

Error readNoRestore(LauncherOptions& options, const std::string*) {
    options.restore = false;
    return std::nullopt;
}

Error readPlay(LauncherOptions& options, const std::string* path) {
    if (missing(path)) return "--play needs a file or a URL";
    options.playPath = *path;
    return std::nullopt;
}

Error readSeconds(LauncherOptions& options, const std::string* text) {
    options.seconds = text ? parseSeconds(*text) : std::nullopt;
    if (!options.seconds) return "--seconds needs a number of seconds, 0 or more";
    return std::nullopt;
}

Error readAudioOutput(LauncherOptions& options, const std::string* name) {
    if (missing(name)) return "--audio-output needs an output name (\"null\": no sound)";
    options.audioOutput = *name;
    return std::nullopt;
}

Error readFrameOut(LauncherOptions& options, const std::string* file) {
    if (missing(file)) return "--frame-out needs a PNG file";
    options.frameOut = *file;
    return std::nullopt;
}

Error readDisplay(LauncherOptions& options, const std::string*) {
    options.display = true;
    return std::nullopt;
}

Error readScreenshot(LauncherOptions& options, const std::string* file) {
    if (missing(file)) return "--screenshot needs a PNG file";
    options.screenshot = *file;
    options.display = true;
    return std::nullopt;
}

constexpr std::array<LauncherOptionRow, 18> kRows{{
    {"--home", "", "DIR", kAll, std::nullopt, "",
     "the container folder (default: $XDG_DATA_HOME/reelhaven,\n"
     "else ~/.local/share/reelhaven); created when missing",
     readHome},
    {"--transfer", "", "", kHost, std::nullopt, "",
     "switch the Wi-Fi transfer server on, as the library's import menu does;\n"
     "without --script it serves past the end of standard input, until a signal",
     readTransfer},
    {"--port", "", "N", kHost, std::nullopt, "--transfer",
     "the transfer server's port (default 80, else a free one; 0 picks a free one)", readPort},
    {"--script", "", "FILE", kHost, std::nullopt, "",
     "run the commands of FILE, printing the screen on each show; stops at\n"
     "the first command that fails (exit status 1)",
     readScript},
    {"--device", "", "phone|pad", kHost, std::nullopt, "", "the device the app believes it runs on (default phone)",
     readDevice},
    {"--size", "", "WxH", kHost, std::nullopt, "",
     "the screen in points (default 390x844 on a phone, 1024x1366 on a pad);\n"
     "the size classes follow it (a regular width from 700 points on, a\n"
     "compact height below 500)",
     readSize},
    {"--layout-direction", "", "ltr|rtl", kHost, std::nullopt, "",
     "the direction the interface reads in, as the device's\n"
     "language gives it (default ltr)",
     readLayoutDirection},
    {"--open", "", "PATH|URL", kHost, std::nullopt, "",
     "hand the app a file to play where it is, or a URL, as it starts", readOpen},
    {"--import", "", "PATH", kHost, std::nullopt, "", "hand the app a copy of a file, which it moves into the library",
     readImport},
    {"--no-restore", "", "", kHost, std::nullopt, "",
     "do not bring back the player that was up when the app last stopped\n"
     "(SIGINT, SIGTERM and SIGHUP save progress, then stop the app)",
     readNoRestore},
    {"--list", "", "", 0, Mode::list, "",
     "list the library as the root grid shows it: kind, name, duration,\n"
     "allocated size in bytes and thumbnail source, subtitles under their video\n"
     "(in names \\\\, \\t, \\n, \\r and \\xHH stand for a backslash, a tab, a line\n"
     "break, a carriage return and another control character)",
     none},
    {"--play", "", "PATH", 0, Mode::play, "",
     "play a file or an http, https or ftp URL on the player screen;\n"
     "prints its tracks and chapters, the time once a second and how it\n"
     "ended, and exits when it ends (0), cannot be played (1) or is\n"
     "interrupted. Lines on standard input: left, right, shift-left,\n"
     "shift-right (or the arrow keys), space, and screen (print the screen)",
     readPlay},
    {"--seconds", "", "N", kPlay, std::nullopt, "", "stop playing N seconds after the file has loaded", readSeconds},
    {"--audio-output", "", "NAME", kPlay | kHost, std::nullopt, "",
     "mpv's audio output for the player, with --play or when the app\n"
     "runs (default: the default device, or none when it cannot open;\n"
     "\"null\" plays no sound)",
     readAudioOutput},
    {"--frame-out", "", "FILE.png", kPlay, std::nullopt, "", "save the first frame drawn, upright", readFrameOut},
    {"--display", "", "", kPlay | kHost, std::nullopt, "",
     "show the app, or the video, in a window on the desktop (X11 or\n"
     "Wayland)",
     readDisplay},
    {"--screenshot", "", "FILE.png", kPlay | kHost, std::nullopt, "",
     "in that window, save the window's pixels once the screen\n"
     "has settled (the cells' thumbnails, or a video frame, shown), then exit",
     readScreenshot},
    {"--help", "-h", "", 0, Mode::help, "", "show this text", none},
}};

}  // namespace

std::span<const LauncherOptionRow> launcherOptionRows() { return kRows; }

}  // namespace reelhaven
