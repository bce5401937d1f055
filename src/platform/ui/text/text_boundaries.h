#pragma once

#include <string_view>
#include <vector>

namespace ui {

// Where text may be split, from ICU's break iterators, as byte offsets into UTF-8 text. Both
// lists are ascending, leave out 0 and end with the text's size (an empty text gives none).
namespace text_boundaries {

// Places after which a line may end (word wrapping: after spaces, hyphens, between ideographs).
std::vector<size_t> lineBreaks(std::string_view utf8);
// Ends of user-perceived characters (a base with its combining marks, an emoji sequence).
std::vector<size_t> graphemeBreaks(std::string_view utf8);
// Both ends of each word, and of each run of spaces or punctuation between words.
std::vector<size_t> wordBreaks(std::string_view utf8);

// The end of a user-perceived character nearest before `offset` (0 when none is), and nearest
// after it (the text's size when none is), found from the text around it: a key's move costs
// the same in a long text as in a short one.
size_t graphemeBreakBefore(std::string_view utf8, size_t offset);
size_t graphemeBreakAfter(std::string_view utf8, size_t offset);

}  // namespace text_boundaries

}  // namespace ui
