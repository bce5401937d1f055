#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/launcher_options.h"

namespace reelhaven {

// The modes an option applies to, as bits.
using LauncherModes = std::uint8_t;
constexpr LauncherModes modeBit(LauncherOptions::Mode mode) { return LauncherModes(1u << static_cast<unsigned>(mode)); }

// One option of the launcher, described once: parsing, the "applies only" errors and --help all
// come from these rows.
struct LauncherOptionRow {
    std::string_view name;
    std::string_view alias;     // another spelling ("-h"), or empty
    std::string_view argument;  // its argument as --help names it ("DIR"); empty when it takes none
    // The modes it applies to; the one-shot commands' own options (--list, --play, --help) instead
    // select their mode.
    LauncherModes modes = 0;
    std::optional<LauncherOptions::Mode> selects;
    std::string_view needs;  // another option it applies to only ("--transfer"), or empty
    std::string_view help;   // its text in --help; lines after the first are indented as they show
    // Stores the option; `argument` is null when the option takes one and the line ends. A
    // message saying what it needs when the argument is missing or unusable.
    std::optional<std::string> (*read)(LauncherOptions& options, const std::string* argument);
};

// Every option, in the order --help lists them.
std::span<const LauncherOptionRow> launcherOptionRows();

}  // namespace reelhaven
