#include "app/launcher_options.h"

#include <set>

#include "app/host_command.h"
#include "app/launcher_option_table.h"
#include "platform/base/escaped_text.h"

namespace reelhaven {

namespace {

// "a", "a and b", "a, b and c".
std::string spokenList(const std::vector<std::string_view>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

// "--seconds and --frame-out apply only to --play": every option that applies where `row` does.
LauncherError appliesOnlyError(const LauncherOptionRow& row) {
    std::vector<std::string_view> names;
    for (const auto& other : launcherOptionRows())
        if (other.modes == row.modes && !other.selects && other.needs.empty()) names.push_back(other.name);
    std::vector<std::string_view> where;
    if (row.modes & modeBit(LauncherOptions::Mode::list)) where.push_back("to --list");
    if (row.modes & modeBit(LauncherOptions::Mode::play)) where.push_back("to --play");
    if (row.modes & modeBit(LauncherOptions::Mode::host)) where.push_back("when the app runs");
    std::string message =
        spokenList(names) + (names.size() == 1 ? " applies only " : " apply only ") + spokenList(where);
    if (row.modes == modeBit(LauncherOptions::Mode::host)) message += ", not with --list, --play or --help";
    return {message};
}

const LauncherOptionRow* findRow(std::string_view argument) {
    for (const auto& row : launcherOptionRows())
        if (argument == row.name || (!row.alias.empty() && argument == row.alias)) return &row;
    return nullptr;
}

// What the options given ask of each other: each applies to the mode chosen, or with the option it needs.
std::optional<LauncherError> checkCombination(const std::set<const LauncherOptionRow*>& given,
                                              LauncherOptions::Mode mode) {
    for (const auto& row : launcherOptionRows()) {
        if (row.selects || !given.contains(&row)) continue;
        if (!row.needs.empty()) {
            if (!given.contains(findRow(row.needs)))
                return LauncherError{std::string(row.name) + " applies only to " + std::string(row.needs)};
        } else if (!(row.modes & modeBit(mode))) {
            return appliesOnlyError(row);
        }
    }
    return std::nullopt;
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
    std::set<const LauncherOptionRow*> given;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto* row = findRow(argument);
        if (!row)
            return LauncherError{"unknown option \"" + base::escapedText(argument, base::QuoteEscape::escape) +
                                 "\" (see --help)"};
        if (row->selects) {
            if (mode && *mode != *row->selects)
                return LauncherError{"choose one of --list, --play and --help, not " + argument + " as well"};
            mode = row->selects;
        }
        const std::string* value = nullptr;
        if (!row->argument.empty() && i + 1 < arguments.size()) value = &arguments[++i];
        if (auto error = row->read(options, value)) return LauncherError{*error};
        given.insert(row);
    }
    options.mode = mode.value_or(LauncherOptions::Mode::host);
    if (auto error = checkCombination(given, options.mode)) return *error;
    if (options.home.empty() && options.mode != LauncherOptions::Mode::help) {
        auto home = defaultHome(environment);
        if (!home) return LauncherError{"no home folder: set HOME or XDG_DATA_HOME, or pass --home DIR"};
        options.home = *home;
    }
    if (!options.home.empty()) options.home = std::filesystem::absolute(options.home).lexically_normal();
    return options;
}

namespace {

// The options' lines of --help: each option with its argument, then its text beside it, further
// lines of the text under the first.
std::string optionsHelp() {
    constexpr size_t kTextColumn = 16;
    std::string text;
    for (const auto& row : launcherOptionRows()) {
        std::string head = "  " + std::string(row.name);
        if (!row.argument.empty()) head += " " + std::string(row.argument);
        head += head.size() < kTextColumn ? std::string(kTextColumn - head.size(), ' ') : std::string(2, ' ');
        text += head;
        for (char c : row.help) {
            text += c;
            if (c == '\n') text += std::string(kTextColumn, ' ');
        }
        text += "\n";
    }
    return text;
}

}  // namespace

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
           "Options:\n" +
           optionsHelp();
}

}  // namespace reelhaven
