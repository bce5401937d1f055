#include "app/play_keys.h"

#include <gtest/gtest.h>

namespace reelhaven {
namespace {

// Each press as "code+modifiers", then "screen" when the line asks for it.
std::string describe(const std::optional<PlayInput>& input) {
    if (!input) return "refused";
    std::string text;
    for (const auto& press : input->presses) {
        if (!text.empty()) text += " ";
        text += std::to_string(press.key.keyCode);
        if (press.key.modifierFlags & ui::Key::shift) text += "+shift";
    }
    if (input->printScreen) text += text.empty() ? "screen" : " screen";
    return text;
}

TEST(PlayKeys, WordsAndTerminalSequencesBecomeThePlayersKeys) {
    const std::pair<std::string, std::string> cases[] = {
        {"right", "79"},
        {"left", "80"},
        {"shift-right", "79+shift"},
        {"shift-left left", "80+shift 80"},
        {"space", "44"},
        {" ", "44"},
        {"   ", "44 44 44"},
        {"\x1b[C", "79"},
        {"\x1b[D\x1b[D", "80 80"},
        {"\x1b[1;2C", "79+shift"},
        {"\x1b[1;2D\r", "80+shift"},
        {"\x1bOC", "79"},
        {"screen", "screen"},
        {"right screen", "79 screen"},
        {"", ""},
        {"up", "refused"},
        {"rightx", "refused"},
        {"\x1b[A", "refused"},
    };
    for (const auto& [line, expected] : cases) EXPECT_EQ(describe(parsePlayInput(line)), expected) << line;
}

TEST(PlayKeys, AKeyByItsWordAlone) {
    for (const char* word : {"left", "right", "shift-left", "shift-right", "space"})
        EXPECT_TRUE(namedKeyPress(word)) << word;
    auto shifted = namedKeyPress("shift-right");
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->key.keyCode, ui::Key::rightArrow);
    EXPECT_NE(shifted->key.modifierFlags & ui::Key::shift, 0u);
    EXPECT_EQ(namedKeyPress("space")->key.characters, " ");
    for (const char* refused : {"", "screen", "rightleft", "Right", "\x1b[C", " right"})
        EXPECT_FALSE(namedKeyPress(refused)) << refused;
}

}  // namespace
}  // namespace reelhaven
