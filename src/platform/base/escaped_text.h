#pragma once

#include <string>
#include <string_view>

namespace base {

// Whether a double quote is escaped too: for a text printed between double quotes.
enum class QuoteEscape { keep, escape };

// A text that comes from outside the program (a file name, a title, a path) as the program prints
// it on a terminal or in a line of its output: a backslash, tab, line feed and carriage return
// become \\, \t, \n and \r; every other control character (C0, DEL and C1) and every byte that is
// no part of valid UTF-8 becomes \xHH, byte by byte. A line break would otherwise forge a line of
// the program's own, and an escape sequence would act on the reader's terminal (retitle it, clear
// it). Readers of the program's lines take the escapes back the same way.
std::string escapedText(std::string_view text, QuoteEscape quotes = QuoteEscape::keep);

}  // namespace base
