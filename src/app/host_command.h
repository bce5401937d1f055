#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/foundation/error.h"

namespace reelhaven {

// One line of what the host reads from a terminal or a script, parsed but not yet acted on.
//
//   tap #3 | tap "Import from Files"     menu #4          choose "Rename"
//   type #2 "New name"                   search "beach"   cancel
//   alert "Confirm"                      pick PATH...     drag #4 #7
//   slide #5 0.4   swipe "Trip" right    key shift-right space   step #6 up
//   type #2 ""   (clears the field)
//   back   wait 1.5   show [tree]   open PATH|URL   background   foreground   quit
//   with a desktop window: click 120 300 | click #3    resize 1024 768    screenshot PATH
//   (and there keys go through the window too)
//
// An argument is a handle (`#n`), a quoted text (with the escapes the printed screen uses:
// \" \\ \n \r \t and \xHH for any other byte) or a bare word. Blank lines and lines starting with "//" are no command.
struct HostCommand {
    enum class Verb {
        tap,
        menu,
        choose,
        type,
        search,
        cancel,
        alert,
        pick,
        drag,
        slide,
        step,
        swipe,
        key,
        back,
        wait,
        show,
        open,
        background,
        foreground,
        screenshot,
        click,
        resize,
        quit
    };

    Verb verb = Verb::show;
    std::vector<std::string> arguments;  // as the user meant them: quotes removed, escapes read
    double seconds = 0;                  // `wait`
    float value = 0;                     // `slide`
    bool tree = false;                   // `show tree`
    // `click X Y` (window points; none: the element the argument names) and `resize W H` (points).
    std::optional<std::pair<double, double>> point;
    std::pair<double, double> size{};

    // The parsed line; nothing for a blank or comment line; an error that says what is wrong.
    static foundation::Result<std::optional<HostCommand>> parse(std::string_view line);
    // The lines the user may type, for `help` and errors.
    static const char* usage();
};

}  // namespace reelhaven
