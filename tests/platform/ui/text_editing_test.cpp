#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/text/text_editing.h"

namespace ui {
namespace {

using Extend = TextEditing::Extend;
using Edit = std::function<void(TextEditing&)>;

// "ab|c" is the caret after "b"; "a[bc]d" selects "bc" (its anchor at "[").
TextEditing parse(std::string marked) {
    if (const auto caret = marked.find('|'); caret != std::string::npos) {
        marked.erase(caret, 1);
        return TextEditing(marked, {caret, 0});
    }
    const auto open = marked.find('['), close = marked.find(']');
    marked.erase(close, 1);
    marked.erase(open, 1);
    return TextEditing(marked, {open, close - open - 1});
}

std::string render(const TextEditing& editing) {
    std::string text = editing.text();
    const auto range = editing.selection();
    if (range.length == 0) return text.insert(range.location, "|");
    text.insert(range.end(), "]");
    return text.insert(range.location, "[");
}

const Edit backspace = [](TextEditing& e) { e.deleteBackward(); };
const Edit forwardDelete = [](TextEditing& e) { e.deleteForward(); };
Edit type(std::string text) {
    return [text](TextEditing& e) { e.insert(text); };
}
Edit back(Extend extend = Extend::no) {
    return [extend](TextEditing& e) { e.moveBackward(extend); };
}
Edit forward(Extend extend = Extend::no) {
    return [extend](TextEditing& e) { e.moveForward(extend); };
}
Edit start(Extend extend = Extend::no) {
    return [extend](TextEditing& e) { e.moveToStart(extend); };
}
Edit end(Extend extend = Extend::no) {
    return [extend](TextEditing& e) { e.moveToEnd(extend); };
}
const Edit all = [](TextEditing& e) { e.selectAll(); };

// "é" written as "e" and a combining accent, and a family emoji joined from three: one character each.
const std::string accented = "e\xCC\x81";
const std::string family = "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";

TEST(TextEditing, KeysEditAroundTheCaretAndTheSelectionByWholeCharacters) {
    struct Case {
        std::string before;
        std::vector<Edit> edits;
        std::string after;
    };
    const std::vector<Case> cases = {
        {"ab|c", {type("X")}, "abX|c"},
        {"a[bc]d", {type("XY")}, "aXY|d"},
        {"ab|c", {backspace}, "a|c"},
        {"|abc", {backspace}, "|abc"},
        {"ab|c", {forwardDelete}, "ab|"},
        {"abc|", {forwardDelete}, "abc|"},
        {"a[bc]d", {backspace}, "a|d"},
        {"a[bc]d", {forwardDelete}, "a|d"},
        {"x" + accented + "|y", {backspace}, "x|y"},
        {"x|" + accented + "y", {forwardDelete}, "x|y"},
        {"a" + family + "|", {backspace}, "a|"},
        {"|" + accented + "x", {forward()}, accented + "|x"},
        {family + "|", {back()}, "|" + family},
        {"a[bc]d", {back()}, "a|bcd"},
        {"a[bc]d", {forward()}, "abc|d"},
        {"|abc", {back()}, "|abc"},
        {"abc|", {forward()}, "abc|"},
        {"ab|cd", {forward(Extend::yes), forward(Extend::yes)}, "ab[cd]"},
        {"ab|cd", {forward(Extend::yes), forward(Extend::yes), back(Extend::yes)}, "ab[c]d"},
        // The anchor stays where the selection began: the caret crosses it.
        {"ab|cd", {back(Extend::yes), end(Extend::yes)}, "ab[cd]"},
        {"ab|cd", {start(Extend::yes)}, "[ab]cd"},
        {"ab|cd", {start()}, "|abcd"},
        {"ab|cd", {end()}, "abcd|"},
        {"ab|cd", {all}, "[abcd]"},
        {"ab|cd", {all, type("z")}, "z|"},
        {"ab|cd", {all, backspace, backspace}, "|"},
    };
    for (const auto& c : cases) {
        auto editing = parse(c.before);
        for (const auto& edit : c.edits) edit(editing);
        EXPECT_EQ(render(editing), c.after) << "from " << c.before;
    }
}

TEST(TextEditing, ASelectionOutsideTheTextOrInsideACharacterIsMadeWhole) {
    EXPECT_EQ(render(TextEditing("abc", {10, 5})), "abc|");
    EXPECT_EQ(render(TextEditing("abc", {1, 50})), "a[bc]");
    // Between the letter and its accent: before the character, or around it for a selection.
    EXPECT_EQ(render(TextEditing(accented, {1, 0})), "|" + accented);
    EXPECT_EQ(render(TextEditing("x" + accented, {2, 1})), "x[" + accented + "]");
    EXPECT_EQ(parse("a[bc]d").selectedText(), "bc");
}

}  // namespace
}  // namespace ui
