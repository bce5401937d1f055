// Texts from outside as the program prints them, and the log lines that carry them.

#include "platform/base/escaped_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/base/log.h"

namespace base {
namespace {

TEST(EscapedText, EveryControlCharacterAndStrayByteIsEscaped) {
    const struct {
        std::string text, printed, quoted;
    } cases[] = {
        {"Film.mp4", "Film.mp4", "Film.mp4"},
        {"a\\b\tc\nd\re", "a\\\\b\\tc\\nd\\re", "a\\\\b\\tc\\nd\\re"},
        {"say \"hi\"", "say \"hi\"", "say \\\"hi\\\""},
        // A terminal's title and screen-clearing sequences, and its bell.
        {"\x1b]0;owned\x07\x1b[2J.mp4", "\\x1b]0;owned\\x07\\x1b[2J.mp4", "\\x1b]0;owned\\x07\\x1b[2J.mp4"},
        {std::string("nul\0del\x7f", 8), "nul\\x00del\\x7f", "nul\\x00del\\x7f"},
        // C1 controls (U+009B is a terminal's one-character CSI), and bytes that are no UTF-8.
        {"a\xc2\x9b"
         "2Jb\xc2\x85",
         "a\\xc2\\x9b2Jb\\xc2\\x85", "a\\xc2\\x9b2Jb\\xc2\\x85"},
        {"x\x9b"
         "2J\xff\xc3",
         "x\\x9b2J\\xff\\xc3", "x\\x9b2J\\xff\\xc3"},
        {"\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80", "\\xc0\\xaf\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80",
         "\\xc0\\xaf\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80"},
        // Letters beyond ASCII stay as they are: a no-break space, accents, CJK, an emoji.
        {"\xc2\xa0\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xac",
         "\xc2\xa0\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xac",
         "\xc2\xa0\xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac \xf0\x9f\x8e\xac"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapedText(c.text), c.printed) << c.printed;
        EXPECT_EQ(escapedText(c.text, QuoteEscape::escape), c.quoted) << c.quoted;
    }
}

// What a log line writes to standard error, captured from the descriptor itself.
std::string standardErrorOf(void (*write)()) {
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(::fileno(capture), STDERR_FILENO);
    write();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::string text;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;) text += static_cast<char>(c);
    std::fclose(capture);
    return text;
}

TEST(EscapedText, ALoggedNameIsOneLineThatActsOnNoTerminal) {
    const std::string written = standardErrorOf(
        [] { log(LogLevel::warning, "WebServer", "Uploaded \"\x1b]0;owned\x07x.mp4\nERROR forged\""); });
    EXPECT_EQ(written, "[WARNING] WebServer: Uploaded \"\\x1b]0;owned\\x07x.mp4\\nERROR forged\"\n");
}

}  // namespace
}  // namespace base
