#include "app/host_command.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "app/play_keys.h"
#include "platform/base/parsed_number.h"
#include "platform/ui/screen/view_description.h"

namespace reelhaven {

namespace {

using Verb = HostCommand::Verb;

foundation::Error commandError(std::string description) {
    return {"HostCommandErrorDomain", 1, std::move(description)};
}

struct VerbEntry {
    std::string_view name;
    Verb verb;
    int minArguments;
    int maxArguments;  // -1: any number
    std::string_view form;
};

constexpr std::array<VerbEntry, 23> kVerbs{{
    {"tap", Verb::tap, 1, 1, "tap #n|\"text\""},
    {"menu", Verb::menu, 1, 1, "menu #n|\"text\""},
    {"choose", Verb::choose, 1, 1, "choose \"title\""},
    {"type", Verb::type, 2, 2, "type #n \"text\""},
    {"search", Verb::search, 1, 1, "search \"text\""},
    {"cancel", Verb::cancel, 0, 0, "cancel"},
    {"alert", Verb::alert, 1, 1, "alert \"action\""},
    {"pick", Verb::pick, 1, -1, "pick PATH..."},
    {"drag", Verb::drag, 2, 2, "drag #n #m"},
    {"slide", Verb::slide, 2, 2, "slide #n VALUE"},
    {"step", Verb::step, 2, 2, "step #n|\"text\" up|down"},
    {"swipe", Verb::swipe, 2, 2, "swipe #n|\"text\" up|down|left|right"},
    {"key", Verb::key, 1, -1, "key NAME..."},
    {"back", Verb::back, 0, 0, "back"},
    {"wait", Verb::wait, 1, 1, "wait SECONDS"},
    {"show", Verb::show, 0, 1, "show [tree]"},
    {"open", Verb::open, 1, 1, "open PATH|URL"},
    {"background", Verb::background, 0, 0, "background"},
    {"foreground", Verb::foreground, 0, 0, "foreground"},
    {"screenshot", Verb::screenshot, 1, 1, "screenshot PATH"},
    {"click", Verb::click, 1, 2, "click X Y|#n|\"text\""},
    {"resize", Verb::resize, 2, 2, "resize WIDTH HEIGHT"},
    {"quit", Verb::quit, 0, 0, "quit"},
}};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::optional<char> hexByte(std::string_view digits) {
    unsigned value = 0;
    if (digits.size() != 2) return std::nullopt;
    for (const char digit : digits) {
        const auto lower = static_cast<char>(std::tolower(static_cast<unsigned char>(digit)));
        if (!std::isxdigit(static_cast<unsigned char>(lower))) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(lower <= '9' ? lower - '0' : lower - 'a' + 10);
    }
    return static_cast<char>(value);
}

// Splits the line into words; a quoted text is one word whatever it holds.
foundation::Result<std::vector<std::string>> splitWords(std::string_view line) {
    std::vector<std::string> words;
    size_t i = 0;
    while (i < line.size()) {
        if (isSpace(line[i])) {
            ++i;
            continue;
        }
        std::string word;
        if (line[i] != '"') {
            while (i < line.size() && !isSpace(line[i])) word += line[i++];
            words.push_back(std::move(word));
            continue;
        }
        ++i;  // the opening quote
        bool closed = false;
        while (i < line.size()) {
            const char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\') {
                word += c;
                continue;
            }
            if (i == line.size()) break;
            switch (const char escaped = line[i++]) {
                case 'n': word += '\n'; break;
                case 'r': word += '\r'; break;
                case 't': word += '\t'; break;
                case '"':
                case '\\': word += escaped; break;
                case 'x': {
                    // A byte as the screen prints a control character: two hex digits.
                    auto byte = hexByte(line.substr(i, 2));
                    if (!byte) return commandError("\\x needs two hex digits in a quoted text");
                    word += *byte;
                    i += 2;
                    break;
                }
                default: return commandError(std::string("unknown escape \\") + escaped + " in a quoted text");
            }
        }
        if (!closed) return commandError("a quoted text is not closed");
        if (i < line.size() && !isSpace(line[i])) return commandError("a quoted text runs into the next word");
        words.push_back(std::move(word));
    }
    return words;
}

// A plain number from 0 to `limit` (seconds, points).
std::optional<double> parseNumber(const std::string& text, double limit) {
    return base::parsedNumber<double>(text, 0, limit);
}

// The window's limits: what SDL and the GL drivers take on any desktop.
constexpr double kMinimumWindowPoints = 100;
constexpr double kMaximumWindowPoints = 8192;

}  // namespace

foundation::Result<std::optional<HostCommand>> HostCommand::parse(std::string_view line) {
    size_t start = 0;
    while (start < line.size() && isSpace(line[start])) ++start;
    if (start == line.size() || line.substr(start).starts_with("//")) return std::optional<HostCommand>();
    auto words = splitWords(line);
    if (!words) return words.error();
    const std::string name = words->front();
    const auto entry = std::find_if(kVerbs.begin(), kVerbs.end(), [&](const VerbEntry& e) { return e.name == name; });
    if (entry == kVerbs.end())
        return commandError("unknown command " + ui::quoted(name) + "; the commands are:\n" + usage());

    HostCommand command;
    command.verb = entry->verb;
    command.arguments.assign(words->begin() + 1, words->end());
    const int count = static_cast<int>(command.arguments.size());
    if (count < entry->minArguments || (entry->maxArguments >= 0 && count > entry->maxArguments))
        return commandError("usage: " + std::string(entry->form));
    for (size_t i = 0; i < command.arguments.size(); ++i) {
        // The text typed into a field may be empty: that clears it.
        if (command.verb == Verb::type && i == 1) continue;
        if (command.arguments[i].empty())
            return commandError("usage: " + std::string(entry->form) + " (an empty text names nothing)");
    }
    if (command.verb == Verb::wait) {
        auto seconds = parseNumber(command.arguments.front(), 86400);
        if (!seconds) return commandError("wait needs a number of seconds from 0 to 86400");
        command.seconds = *seconds;
    }
    if (command.verb == Verb::slide) {
        const auto& text = command.arguments[1];
        const auto value = base::parsedNumber<float>(text);
        if (!value) return commandError("slide needs a number for the slider's value, not " + ui::quoted(text));
        command.value = *value;
    }
    if (command.verb == Verb::step) {
        const auto& way = command.arguments[1];
        if (way != "up" && way != "down") return commandError("step goes up or down, not " + ui::quoted(way));
    }
    if (command.verb == Verb::swipe) {
        const auto& way = command.arguments[1];
        if (way != "up" && way != "down" && way != "left" && way != "right")
            return commandError("swipe goes up, down, left or right, not " + ui::quoted(way));
    }
    if (command.verb == Verb::key) {
        for (const auto& name : command.arguments) {
            if (!namedKeyPress(name))
                return commandError("unknown key " + ui::quoted(name) + "; the keys are " + std::string(keyNames()));
        }
    }
    if (command.verb == Verb::click && count == 2) {
        auto x = parseNumber(command.arguments[0], kMaximumWindowPoints);
        auto y = parseNumber(command.arguments[1], kMaximumWindowPoints);
        if (!x || !y) return commandError("usage: click X Y|#n|\"text\" (X and Y: window points from 0)");
        command.point = std::pair(*x, *y);
    }
    if (command.verb == Verb::resize) {
        auto width = parseNumber(command.arguments[0], kMaximumWindowPoints);
        auto height = parseNumber(command.arguments[1], kMaximumWindowPoints);
        if (!width || !height || *width < kMinimumWindowPoints || *height < kMinimumWindowPoints)
            return commandError("usage: resize WIDTH HEIGHT (points from 100 to 8192)");
        command.size = std::pair(*width, *height);
    }
    if (command.verb == Verb::show && count == 1) {
        if (command.arguments.front() != "tree") return commandError("usage: show [tree]");
        command.tree = true;
    }
    return std::optional<HostCommand>(std::move(command));
}

const char* HostCommand::usage() {
    return "  tap #n|\"text\"     touch an element, by handle or by what it shows (a segment by its title)\n"
           "  menu #n|\"text\"    press and hold an element (a cell's menu, a button's held menu)\n"
           "  choose \"title\"    a menu entry or an alert action\n"
           "  type #n \"text\"    replace the text of a field (\"\" clears it)\n"
           "  search \"text\"     type into the search bar of the screen\n"
           "  cancel            close the open menu, cancel a file or font picker or the search\n"
           "  alert \"action\"    an action of the alert on the screen\n"
           "  pick PATH...      choose files in the file picker on the screen\n"
           "  drag #n #m        drag an item onto another (or a list)\n"
           "  slide #n VALUE    move a slider to VALUE as a finger would\n"
           "  step #n up|down   touch a stepper's plus (up) or minus (down) half\n"
           "  swipe #n WAY      swipe a finger over an element: up, down, left or right\n"
           "  key NAME...       press keys: left, right, shift-left, shift-right, space, escape\n"
           "  back              the back button\n"
           "  wait SECONDS      let time pass\n"
           "  show [tree]       print the screen (tree: the controllers as well)\n"
           "  open PATH|URL     hand the app a file (opened in place) or a URL\n"
           "  background        the app goes to the background (progress is saved)\n"
           "  foreground        the app comes back\n"
           "  screenshot PATH   save the window's pixels as PNG once the screen has settled (with --display)\n"
           "  click X Y|#n|\"text\"  click in the window at a point, or on an element (with --display)\n"
           "  resize W H        resize the window to W x H points, as a user dragging its edge\n"
           "                    (never below the smallest window, 390 x 390)\n"
           "  quit              leave (the app goes to the background and terminates)\n";
}

}  // namespace reelhaven
