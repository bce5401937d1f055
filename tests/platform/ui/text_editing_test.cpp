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
Edit leftward(Extend extend = Extend::no) {
    return [extend](TextEditing& e) { e.moveLeft(extend); };
}
Edit rightward(Extend extend = Extend::no) {
    return [extend](TextEditing& e) { e.moveRight(extend); };
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

// Hebrew letters (two bytes each), read from the right.
const std::string alef = "\xD7\x90", bet = "\xD7\x91", gimel = "\xD7\x92";

TEST(TextEditing, LeftAndRightMoveAsTheTextShowsWhicheverWayItReads) {
    struct Case {
        std::string before;
        std::vector<Edit> edits;
        std::string after;
    };
    const std::string hebrew = alef + bet + gimel;
    const std::vector<Case> cases = {
        // Text read from the left: Right goes on in the text, Left back.
        {"ab|c", {rightward()}, "abc|"},
        {"ab|c", {leftward(), leftward()}, "|abc"},
        {"|abc", {leftward()}, "|abc"},
        {"a[bc]d", {leftward()}, "a|bcd"},
        {"a[bc]d", {rightward()}, "abc|d"},
        {"ab|cd", {rightward(Extend::yes), rightward(Extend::yes)}, "ab[cd]"},
        // Read from the right, the text's start shows at the right: Right goes back in it.
        {"|" + hebrew, {rightward()}, "|" + hebrew},
        {"|" + hebrew, {leftward()}, alef + "|" + bet + gimel},
        {hebrew + "|", {rightward()}, alef + bet + "|" + gimel},
        {hebrew + "|", {leftward()}, hebrew + "|"},
        {"|" + hebrew, {leftward(Extend::yes), leftward(Extend::yes)}, "[" + alef + bet + "]" + gimel},
        // A selection collapses to its end on the arrow's side: the left one is its end in the text.
        {"[" + alef + bet + "]" + gimel, {leftward()}, alef + bet + "|" + gimel},
        {"[" + alef + bet + "]" + gimel, {rightward()}, "|" + hebrew},
        // Hebrew inside text read from the left shows reversed there ("ab " then bet, alef): the
        // caret steps over it rightwards through its end, between its letters and its start.
        {"ab|" + std::string(" ") + alef + bet, {rightward()}, "ab " + alef + bet + "|"},
        {"ab |" + alef + bet, {leftward()}, "ab " + alef + "|" + bet},
        {"ab " + alef + "|" + bet, {rightward()}, "ab |" + alef + bet},
        {"ab |" + alef + bet, {rightward()}, "ab |" + alef + bet},
        {"ab " + alef + bet + "|", {leftward()}, "ab| " + alef + bet},
    };
    for (const auto& c : cases) {
        auto editing = parse(c.before);
        for (const auto& edit : c.edits) edit(editing);
        EXPECT_EQ(render(editing), c.after) << "from " << c.before;
    }
}

TEST(TextEditing, AWordIsSelectedWholeAndPastedTextKeepsToOneLine) {
    struct Word {
        std::string text;
        size_t at;
        std::string selected;
    };
    for (const auto& w : std::vector<Word>{{"open the door", 6, "the"},
                                           {"open the door", 4, " "},
                                           {"open the door", 13, "door"},
                                           {"http://host/a.mp4", 8, "host"},
                                           {"ab " + alef + bet + " cd", 3, alef + bet},
                                           {"", 0, ""}}) {
        TextEditing editing(w.text, {});
        editing.selectWord(w.at);
        EXPECT_EQ(editing.selectedText(), w.selected) << w.text << " at " << w.at;
    }
    struct Line {
        std::string pasted;
        std::string kept;
    };
    for (const auto& l : std::vector<Line>{{"two\nlines", "two lines"},
                                           {"a\r\nb\rc", "a b c"},
                                           {"col\tcol", "col col"},
                                           {std::string("nul\0bell\a", 9) + "esc\x1b", "nul bell esc "},
                                           {"del\x7f", "del "},
                                           {"next\xC2\x85line", "next line"},
                                           {"sep\xE2\x80\xA8par\xE2\x80\xA9", "sep par "},
                                           {"caf\xC3\xA9 " + alef, "caf\xC3\xA9 " + alef}}) {
        EXPECT_EQ(TextEditing::singleLine(l.pasted), l.kept);
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
