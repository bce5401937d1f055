#include "platform/ui/text_layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ui {

namespace {

bool unlimited(double width) {
    return !(width > 0) || std::isinf(width) || width >= std::numeric_limits<double>::max() / 2;
}

// The longest prefix of `word` (whole UTF-8 characters, at least one) that fits `width`.
size_t fittingPrefix(const std::string& word, const Font& font, double width) {
    size_t best = 0;
    for (size_t i = 1; i <= word.size(); ++i) {
        if (i < word.size() && (static_cast<unsigned char>(word[i]) & 0xC0) == 0x80) continue;
        if (font.widthOf(word.substr(0, i)) > width && best > 0) break;
        best = i;
    }
    return best;
}

}  // namespace

std::vector<std::string> TextLayout::lines(const std::string& text, const Font& font, double width, int maximumLines) {
    std::vector<std::string> result;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find('\n', start), text.size());
        const std::string paragraph = text.substr(start, end - start);
        if (unlimited(width)) {
            result.push_back(paragraph);
        } else {
            std::string line;
            size_t i = 0;
            while (i <= paragraph.size()) {
                size_t space = std::min(paragraph.find(' ', i), paragraph.size());
                std::string word = paragraph.substr(i, space - i);
                std::string candidate = line.empty() ? word : line + " " + word;
                if (font.widthOf(candidate) <= width || (line.empty() && word.empty())) {
                    line = candidate;
                } else {
                    if (!line.empty()) result.push_back(line);
                    line.clear();
                    while (font.widthOf(word) > width) {
                        const size_t cut = fittingPrefix(word, font, width);
                        result.push_back(word.substr(0, cut));
                        word = word.substr(cut);
                    }
                    line = word;
                }
                i = space + 1;
            }
            result.push_back(line);
        }
        if (end >= text.size()) break;
        start = end + 1;
    }
    if (maximumLines > 0 && static_cast<int>(result.size()) > maximumLines)
        result.resize(static_cast<size_t>(maximumLines));
    return result;
}

Size TextLayout::size(const std::string& text, const Font& font, double width, int maximumLines) {
    if (text.empty()) return {};
    const auto all = lines(text, font, width, maximumLines);
    double widest = 0;
    for (const auto& line : all) widest = std::max(widest, font.widthOf(line));
    return {std::ceil(widest), std::ceil(font.lineHeight() * static_cast<double>(all.size()))};
}

}  // namespace ui
