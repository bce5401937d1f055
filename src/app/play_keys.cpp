#include "app/play_keys.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace reelhaven {

namespace {

struct KeyWord {
    std::string_view text;
    int keyCode;
    std::uint32_t modifiers;
};

// Longest first, so a terminal's Shift sequence is not read as the plain one followed by junk.
constexpr std::array<KeyWord, 12> kKeys{{
    {"shift-right", ui::Key::rightArrow, ui::Key::shift},
    {"shift-left", ui::Key::leftArrow, ui::Key::shift},
    {"\x1b[1;2C", ui::Key::rightArrow, ui::Key::shift},
    {"\x1b[1;2D", ui::Key::leftArrow, ui::Key::shift},
    {"right", ui::Key::rightArrow, ui::Key::none},
    {"left", ui::Key::leftArrow, ui::Key::none},
    {"space", ui::Key::spacebar, ui::Key::none},
    {"escape", ui::Key::escape, ui::Key::none},
    {"\x1b[C", ui::Key::rightArrow, ui::Key::none},
    {"\x1b[D", ui::Key::leftArrow, ui::Key::none},
    {"\x1bOC", ui::Key::rightArrow, ui::Key::none},
    {"\x1bOD", ui::Key::leftArrow, ui::Key::none},
}};

ui::Press press(int keyCode, std::uint32_t modifiers) {
    ui::Press press;
    press.key.keyCode = keyCode;
    press.key.modifierFlags = modifiers;
    if (keyCode == ui::Key::spacebar) press.key.characters = press.key.charactersIgnoringModifiers = " ";
    return press;
}

bool isWord(std::string_view text) { return !text.empty() && text.front() != '\x1b'; }

}  // namespace

std::optional<ui::Press> namedKeyPress(std::string_view word) {
    const auto* key = std::find_if(kKeys.begin(), kKeys.end(),
                                   [&](const KeyWord& entry) { return isWord(entry.text) && entry.text == word; });
    if (key == kKeys.end()) return std::nullopt;
    return press(key->keyCode, key->modifiers);
}

const char* keyNames() { return "left, right, shift-left, shift-right, space"; }

std::optional<PlayInput> parsePlayInput(const std::string& line) {
    PlayInput input;
    std::string_view text(line);
    if (text.ends_with('\r')) text.remove_suffix(1);
    // A line of spaces is the space bar pressed as often.
    if (!text.empty() && text.find_first_not_of(' ') == std::string_view::npos) {
        for (std::size_t i = 0; i < text.size(); ++i) input.presses.push_back(press(ui::Key::spacebar, ui::Key::none));
        return input;
    }
    while (!text.empty()) {
        if (text.front() == ' ') {
            text.remove_prefix(1);
        } else if (text.starts_with("screen")) {
            input.printScreen = true;
            text.remove_prefix(6);
        } else {
            const auto* key = std::find_if(kKeys.begin(), kKeys.end(),
                                           [&](const KeyWord& word) { return text.starts_with(word.text); });
            if (key == kKeys.end()) return std::nullopt;
            input.presses.push_back(press(key->keyCode, key->modifiers));
            text.remove_prefix(key->text.size());
        }
    }
    return input;
}

}  // namespace reelhaven
