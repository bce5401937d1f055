#pragma once

#include <string_view>
#include <vector>

namespace ui {

// The directions within one paragraph, from ICU's bidirectional algorithm: runs of one embedding
// level in logical order (odd levels run right to left), as byte ranges of the UTF-8 text.
struct BidiParagraph {
    struct Run {
        size_t start = 0;
        size_t end = 0;
        int level = 0;
    };

    bool rightToLeft = false;  // the paragraph's base direction, from its first strong character
    std::vector<Run> runs;

    static BidiParagraph analyze(std::string_view utf8);
    // The visual order (left to right) of pieces at these levels, as indexes into `levels`.
    static std::vector<size_t> visualOrder(const std::vector<int>& levels);
};

}  // namespace ui
